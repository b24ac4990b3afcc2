// What the setup tests share: the product's payload, the installer's steps for one target,
// and reading back what they left on the host or the device.
#pragma once

#include "rapi_bridge.h"
#include "sl_toolkit.h"
#include "zip_builder.h"

#include <filesystem>
#include <set>
#include <string>

// The folder of this test program, where the build puts the programs and libraries it tests.
std::string BuildFolder();
Bytes FileBytes(const std::filesystem::path& path);
// The files and folders below `folder`, without a device's own store.
std::set<std::string> FilesBelow(const std::filesystem::path& folder);
// Bytes that differ from `seed` to `seed`, and from one 97-byte stretch to the next.
Bytes Pattern(size_t cb, int seed = 0);

// A payload as the installer carries it: `cpu`\quibo.exe (70000 bytes), the packs of both
// kinds below common\ (9000 each) and `cpu`\uninstaller.dll, the real one; all but `without`.
Bytes QuiboPayload(const std::string& cpu, const std::string& without = "");
// Installs Quibo on `target` as the installer does, then a value of its own and the
// uninstaller once more (the one just installed answers), and closes the journal.
void InstallQuibo(SETUPTOOLKIT& target, ZIPFILE* archive);

// A string value of this machine's registry, or of the device's; "<no key>" or "<no value>"
// when there is none.
std::u16string RegText(HKEY root, const char16_t* key, const char16_t* name, RAPI* device = nullptr);
void SetRegText(HKEY root, const char16_t* key, const char16_t* name, std::u16string_view text);
