// quibo-rc: compiles a resource script into a C++ source that carries the resources.
//
//   quibo-rc [-I folder]... [--depfile file] script.rc output.cpp
//
// Mistakes in the script are reported as "file:line: error: message"; nothing is written then.
#include "emit.h"
#include "lexer.h"
#include "parser.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: quibo-rc [-I folder]... [--depfile file] script.rc output.cpp\n");
    return 2;
}

// Replaces the file only once the new contents are complete.
bool writeFile(const std::string& path, const std::string& contents)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << contents;
        if (!out.flush()) {
            std::fprintf(stderr, "quibo-rc: cannot write %s\n", temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::fprintf(stderr, "quibo-rc: cannot write %s: %s\n", path.c_str(), error.message().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> includeDirs;
    std::vector<std::string> files;
    std::string depfile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "-I" || arg == "--depfile") && i + 1 < argc)
            (arg == "-I" ? includeDirs.emplace_back() : depfile) = argv[++i];
        else if (arg.starts_with("-"))
            return usage();
        else
            files.push_back(arg);
    }
    if (files.size() != 2)
        return usage();
    const std::string& script = files[0];
    const std::string& output = files[1];

    try {
        Lexer lexer(script, includeDirs);
        const CompiledScript compiled = CompileScript(lexer);
        if (!writeFile(output, GenerateSource(compiled.resources, script)))
            return 1;
        if (!depfile.empty()) {
            std::vector<std::string> inputs = lexer.filesRead();
            inputs.insert(inputs.end(), compiled.dataFiles.begin(), compiled.dataFiles.end());
            if (!writeFile(depfile, GenerateDepfile(output, inputs)))
                return 1;
        }
    } catch (const ScriptError& e) {
        if (e.line > 0)
            std::fprintf(stderr, "%s:%d: error: %s\n", e.file.c_str(), e.line, e.message.c_str());
        else
            std::fprintf(stderr, "%s: error: %s\n", e.file.c_str(), e.message.c_str());
        return 1;
    }
    return 0;
}
