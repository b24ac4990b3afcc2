// What the setup tests share: the product's payload, the installer's steps for one target,
// and reading back what they left on the host.
#pragma once

#include "sl_toolkit.h"
#include "zip_builder.h"

#include <filesystem>
#include <string>

// The folder of this test program, where the build puts the programs and libraries it tests.
std::string BuildFolder();
Bytes FileBytes(const std::filesystem::path& path);
// Bytes that differ from `seed` to `seed`, and from one 97-byte stretch to the next.
Bytes Pattern(size_t cb, int seed = 0);

// A payload as the installer carries it: `cpu`\quibo.exe (70000 bytes), common\quibo-s-lo.res
// (9000), common\quibo-l-hi.res (12000) and `cpu`\uninstaller.dll, the real one.
Bytes QuiboPayload(const std::string& cpu);
// Installs Quibo on `target` as the installer does: the journal with the game's values, the
// language choice, the program, `packs` of the resource packs, a shortcut in Games, a value
// of its own, and the uninstaller twice (the second time the one just installed answers).
void InstallQuibo(SETUPTOOLKIT& target, ZIPFILE* archive, const std::string& cpu, int packs);

// A string value of this machine's registry; "<no key>" or "<no value>" when there is none.
std::u16string RegText(HKEY root, const char16_t* key, const char16_t* name);
void SetRegText(HKEY root, const char16_t* key, const char16_t* name, std::u16string_view text);
