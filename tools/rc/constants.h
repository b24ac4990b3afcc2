// The names a script may use without defining them: the window, dialog and control styles
// and the few other constants that a resource script takes from the system headers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

std::optional<uint32_t> BuiltinConstant(const std::string& name);
