// How a program's resources reach FindResourceW. Not a Win32 interface: the source that the
// resource compiler (tools/rc) generates from a module's script calls RegisterResources while
// the program initialises its statics.
//
// The bytes are those Win32 programs find in their resources:
//
// RT_STRING: string id n lives in block n / 16 + 1, entry n % 16. A block is 16 entries, each
// a WORD length and that many WCHARs, no terminator; an absent string has length 0.
//
// RT_DIALOG: an extended dialog template (DLGTEMPLATEEX), little-endian, starting 4-aligned:
//   WORD dlgVer = 1; WORD signature = 0xFFFF; DWORD helpID; DWORD exStyle; DWORD style;
//   WORD cDlgItems; short x, y, cx, cy;
//   menu:        WORD 0 (none)
//   windowClass: WORD 0 (the dialog class), or a zero-terminated WCHAR name,
//                or WORD 0xFFFF then a WORD ordinal
//   title:       zero-terminated WCHARs
//   when style has DS_SETFONT (0x40):
//                WORD pointsize; WORD weight; BYTE italic; BYTE charset; zero-terminated face
//   then cDlgItems items (DLGITEMTEMPLATEEX), each starting on a 4-byte boundary:
//     DWORD helpID; DWORD exStyle; DWORD style; short x, y, cx, cy; DWORD id;
//     windowClass: WORD 0xFFFF then the ordinal 0x0080 button, 0x0081 edit, 0x0082 static,
//                  0x0083 listbox, 0x0084 scrollbar, 0x0085 combobox; else a zero-terminated name
//     title:       zero-terminated WCHARs, or WORD 0xFFFF then a WORD ordinal
//     WORD extraCount = 0 (no creation data)
//   Statements in the script: STYLE replaces the default WS_POPUP | WS_BORDER | WS_SYSMENU;
//   CAPTION adds WS_CAPTION; FONT adds DS_SETFONT (weight FW_NORMAL, not italic and
//   DEFAULT_CHARSET unless given); every CONTROL has WS_CHILD | WS_VISIBLE unless its style
//   says "NOT WS_VISIBLE".
//
// RT_GROUP_ICON (from "id ICON file"): WORD 0; WORD 1; WORD count; then per image BYTE width,
//   height (0 for 256), colours (0), reserved (0); WORD planes (1), bit count (32); DWORD size;
//   WORD the id of its RT_ICON. RT_ICON: one image as the icon file held it, a
//   BITMAPINFOHEADER (height doubled), 32-bit colour rows bottom-up, then the 1-bit mask rows.
//
// Any other type: the bytes of the file the script names, unchanged.
#pragma once

#include "winbase.h"

#include <cstddef>

struct ResourceEntry {
    LPCWSTR type; // MAKEINTRESOURCEW(n) or an upper-case name
    LPCWSTR name;
    const void* data;
    DWORD size;
};

// Adds a module's resources to the program's; the entries must live as long as the program.
// A resource that another module already registered keeps its first definition (traced).
bool RegisterResources(const ResourceEntry* entries, size_t count);
