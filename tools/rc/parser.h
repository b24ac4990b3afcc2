// The statements of a resource script: STRINGTABLE, DIALOGEX with CONTROL lines, ICON, and binary
// resources ("id type "file"") by numeric or named type and id.
#pragma once

#include "lexer.h"
#include "resource.h"

#include <string>
#include <vector>

struct CompiledScript {
    std::vector<Resource> resources;
    std::vector<std::string> dataFiles; // the files binary resources were read from
};

// Throws ScriptError at the first mistake.
CompiledScript CompileScript(Lexer& lexer);
