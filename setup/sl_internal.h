// The setup library's primitives: each touches the file system, the registry or a device
// library of one target, on the desktop through the Win32 calls and on a handheld through
// the device bridge. Paths are narrow (UTF-8) Windows paths.
#pragma once

#include "sl_toolkit.h"

#include <windows.h>

#include <string>
#include <string_view>

struct ZIPENTRY;

namespace sl {

std::u16string Wide(std::string_view text);
std::string Narrow(std::u16string_view text);

// An archive entry by a caller's name: "\" and "/" alike, one leading separator and case
// ignored. Null when absent.
ZIPENTRY* FindEntry(ZIPFILE* archive, std::string_view name);
// "HKLM\", "HKCU\" or "HKCR\" for the journal; "" for another root.
std::string RootName(HKEY root);
// Everything before the last "\" (or "/"); "" when there is none.
std::string ParentOf(const std::string& path);

DWORD GetAttributes(const SetupToolkit_m_t& m, const std::string& path);
void ClearAttributes(const SetupToolkit_m_t& m, const std::string& path);
bool CreateFolder(const SetupToolkit_m_t& m, const std::string& path);
// Creates for writing, replacing any file; INVALID_HANDLE_VALUE on failure.
HANDLE CreateForWrite(const SetupToolkit_m_t& m, const std::string& path);
bool Write(const SetupToolkit_m_t& m, HANDLE file, const BYTE* data, DWORD cb);
void Close(const SetupToolkit_m_t& m, HANDLE file);
void Delete(const SetupToolkit_m_t& m, const std::string& path);
// The whole file; false when it cannot be opened or read.
bool ReadWhole(const SetupToolkit_m_t& m, const std::string& path, std::string* bytes);

LONG RegCreate(const SetupToolkit_m_t& m, HKEY root, const std::string& key, HKEY* handle);
LONG RegOpen(const SetupToolkit_m_t& m, HKEY root, const std::string& key, HKEY* handle);
LONG RegSet(const SetupToolkit_m_t& m, HKEY key, const std::string& name, DWORD type, const BYTE* data, DWORD cb);
void RegClose(const SetupToolkit_m_t& m, HKEY key);
// A string value read into a 1024-byte buffer; "" when absent or not a string.
std::string RegString(const SetupToolkit_m_t& m, HKEY root, const std::string& key, const std::string& name);

// Calls an export of a device library (on the target's machine) with a request block from
// the local heap, which the call takes over. True on a result of 0; the reply as wide text.
bool Invoke(const SetupToolkit_m_t& m, const std::string& library, const char* function, BYTE* request, DWORD cb, std::u16string* reply);
// The same with a wide text request (its size counts the terminator).
bool InvokeText(const SetupToolkit_m_t& m, const std::string& library, const char* function, std::u16string_view request,
                std::u16string* reply);

// A handheld's shortcut file; false on failure.
bool CreateDeviceShortcut(const SetupToolkit_m_t& m, const std::string& shortcut, const std::string& target);

} // namespace sl
