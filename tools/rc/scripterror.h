// A mistake in a resource script, reported as "file:line: error: message".
#pragma once

#include <string>

struct ScriptError {
    std::string file;
    int line;
    std::string message;
};
