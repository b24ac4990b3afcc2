// What the module calls share: the program's own module and the libraries loaded at run time.
#pragma once

#include "windows.h"

#include <optional>
#include <string>
#include <string_view>

// The program's module: what GetModuleHandleW(NULL) returns.
HMODULE ProgramModule();

// The program's file on the host, and its folder.
std::string ProgramPath();
std::string ProgramFolder();

// The host file of a library LoadLibraryW loaded and has not yet freed; nothing otherwise.
std::optional<std::string> LoadedLibraryPath(HMODULE module);

// The loaded library that was asked for by this file name (without regard to case), or null.
HMODULE LoadedLibraryNamed(std::u16string_view fileName);
