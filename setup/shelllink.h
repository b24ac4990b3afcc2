// Shell link (".lnk") files, as the desktop's shell reads them: a header with the show
// command, the target as a local path (narrow and wide) and a description.
#pragma once

#include <string>
#include <string_view>

constexpr unsigned kShowNormal = 1;

// The bytes of a link to an absolute Windows path.
std::string ShellLinkBytes(std::u16string_view target, std::u16string_view description);
