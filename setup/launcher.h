// The freedesktop launcher (".desktop" entry) that makes an installed program appear in the
// host's application menus.
#pragma once

#include <string>
#include <string_view>

// The entry's text; executable is the program's host path.
std::string LauncherText(std::string_view name, std::string_view executable);
// The launcher's file name for a program's name: "zelnor-" and the name in lower case with
// anything but letters and digits as "-", then ".desktop".
std::string LauncherFileName(std::string_view name);
// The user's applications folder: "applications" beside the layer's data folder.
std::string LauncherFolder();
