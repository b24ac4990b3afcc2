// The resource compiler: as the build runs it (a source and a depfile, or "file:line: error:"
// and no output), and its parser fed bad scripts (the fuzzer feeds it truncated ones).
#include "lexer.h"
#include "parser.h"
#include "test_env.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

class ResourceCompiler : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = TestRoot() / ("rc-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(m_dir);
    }

    void write(const std::string& name, const std::string& text) { std::ofstream(m_dir / name) << text; }

    // The compiler's exit status and what it printed.
    std::pair<int, std::string> compile(const std::string& script, const std::string& arguments = "")
    {
        write("script.rc", script);
        const std::string command = std::string(QUIBO_RC) + " --depfile " + (m_dir / "out.d").string() + " "
                                    + (arguments.empty() ? (m_dir / "script.rc").string() + " " + (m_dir / "out.cpp").string() : arguments)
                                    + " >" + (m_dir / "output").string() + " 2>&1";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read("output")};
    }

    // The script fails with this message at this line.
    void expectError(const std::string& script, int line, const std::string& message)
    {
        write("script.rc", script);
        try {
            Lexer lexer((m_dir / "script.rc").string(), {});
            CompileScript(lexer);
            ADD_FAILURE() << "no error for: " << script;
        } catch (const ScriptError& e) {
            EXPECT_EQ(std::make_tuple(e.file, e.line, e.message.substr(0, message.size())),
                      std::make_tuple((m_dir / "script.rc").string(), line, message))
                << e.message;
        }
    }

    std::string read(const std::string& name)
    {
        std::ifstream in(m_dir / name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path m_dir;
};

} // namespace

TEST_F(ResourceCompiler, WritesASourceAndADepfileOrReportsEachMistakeWithFileAndLineAndWritesNothing)
{
    // The compiler reads only the directives of a header; declarations are skipped.
    write("ids.h", "#pragma once\nint f(const char* s);\n#define IDS_HELLO 7\n");
    write("data.bin", "abc");
    ASSERT_EQ(compile("#include \"ids.h\"\n#ifndef IDS_HELLO\n#error never\n#else\n"
                      "STRINGTABLE BEGIN IDS_HELLO \"Saluton\" END\n#endif\n9 DATA \"data.bin\"\n"),
              std::make_pair(0, std::string()));
    const std::string source = read("out.cpp"), depfile = read("out.d");
    const auto has = [](const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; };
    EXPECT_TRUE(has(source, "RegisterResources") && has(source, "\"abc\"")) << source;
    EXPECT_TRUE(has(depfile, (m_dir / "ids.h").string()) && has(depfile, (m_dir / "data.bin").string())) << depfile;

    fs::remove(m_dir / "out.cpp");
    EXPECT_EQ(compile("STRINGTABLE\nBEGIN\n  1 \"no end\n"),
              std::make_pair(1, (m_dir / "script.rc").string() + ":3: error: unterminated string\n"));
    EXPECT_FALSE(fs::exists(m_dir / "out.cpp"));
    EXPECT_EQ(compile("", "only-one-file.rc").first, 2);
    expectError("STRINGTABLE\nBEGIN\n  1 \"one\"\n", 4, "missing END of the STRINGTABLE begun at line 2");
    expectError("STRINGTABLE BEGIN\n1 \"a\"\n1 \"b\"\nEND\n", 3, "string 1 is already defined");
    expectError("STRINGTABLE BEGIN\n70000 \"a\"\nEND\n", 2, "string id 70000 is out of range");
    expectError("\n1 DIALOGEX 0, 0, 10, 10\nSTYLE WS_POPUP | WS_NOSUCH\nBEGIN\nEND\n", 3, "unknown name WS_NOSUCH");
    expectError("1 DIALOGEX 0, 0, 10\nBEGIN\nEND\n", 2, "expected ',', found BEGIN");
    expectError("1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  PUSHBUTTON \"OK\", 1, 0, 0, 5, 5\nEND\n", 3,
                "unexpected PUSHBUTTON in a dialog (only CONTROL lines are understood)");
    expectError("LANGUAGE 9, 1\n", 1, "LANGUAGE statements are not supported");
    expectError("1 DIALOGEX 0, 0, 10, 10\nBEGIN\nCONTROL \"\", 1, \"static\", 0, 0, 0, 1, (2\nEND\n", 4, "expected ')', found END");
    expectError("1 DIALOGEX 0, 0, 40000, 10\nBEGIN\nEND\n", 1, "coordinate 40000 is out of range");
    expectError("1 DIALOGEX 0, 0, 10, 10\nSTYLE DS_SETFONT\nBEGIN\nEND\n", 3, "DS_SETFONT needs a FONT statement");
    expectError("\n\n5 WAVE \"missing.wav\"\n", 3, "cannot read \"missing.wav\"");
    expectError("#include \"" + std::string(5000, 'n') + ".h\"\n", 1, "cannot find include file");
    expectError("1 BITMAP \"x.bmp\"\n", 1, "BITMAP resources are not supported");
    expectError("STRINGTABLE BEGIN\n1 \"\xC4\"\nEND\n", 2, "string is not valid UTF-8");
    expectError("STRINGTABLE BEGIN\n1 \"\\q\"\nEND\n", 2, "unknown escape \\q");
    expectError("#if 1\n", 1, "unsupported directive #if");
    expectError("#define LOOP LOOP + 1\nSTRINGTABLE BEGIN\nLOOP \"x\"\nEND\n", 3, "macro LOOP expands into itself");
    expectError("#define F(x) x\n", 1, "macros with parameters are not supported");
    expectError("\n#include \"nowhere.h\"\n", 2, "cannot find include file \"nowhere.h\"");
    expectError("#ifdef X\n", 2, "#ifdef without #endif");
    expectError("/* open\n\n", 1, "unterminated comment");
    expectError("STRINGTABLE BEGIN\n1 \"a\" $\nEND\n", 2, "unexpected character '$'");
    expectError("STRINGTABLE BEGIN\n0x \"a\"\nEND\n", 2, "malformed number");
    expectError("STRINGTABLE BEGIN\n99999999999 \"a\"\nEND\n", 2, "number too large");

    // Texts a dialog stores zero-terminated, and what its reader takes, are checked when compiled:
    // otherwise the template compiles but is misread or refused when the dialog is created.
    const std::string dialog = "1 DIALOGEX 0, 0, 10, 10\n";
    const std::string control = "BEGIN\nCONTROL ";
    expectError(dialog + "CAPTION \"a\\0b\"\nBEGIN\nEND\n", 2, "the caption holds a zero character");
    expectError(dialog + "FONT 8, \"F\\x0000\"\nBEGIN\nEND\n", 2, "the font's face name holds a zero character");
    expectError(dialog + "CLASS 5\nBEGIN\nEND\n", 2, "expected the dialog's class in quotes");
    expectError(dialog + "CLASS \"\\xFFFFa\"\nBEGIN\nEND\n", 2, "the dialog's class starts with 0xFFFF");
    expectError(dialog + control + "\"x\", 1, \"static" + std::string(1, '\0') + "\", 0, 0, 0, 1, 1\nEND\n", 3,
                "the control's class holds a zero character");
    expectError(dialog + control + "\"x\", 1, \"\", 0, 0, 0, 1, 1\nEND\n", 3, "the control's class is empty");
    expectError(dialog + control + "\"\\xFFFF\", 1, \"static\", 0, 0, 0, 1, 1\nEND\n", 3, "the control text starts with 0xFFFF");
    std::string many = "BEGIN\n";
    for (int i = 0; i < 1025; ++i)
        many += "CONTROL \"\", 1, \"static\", 0, 0, 0, 1, 1\n";
    expectError(dialog + many + "END\n", 1027, "too many controls (at most 1024)");
    expectError("\"A\\0B\" WAVE \"a.bin\"\n", 1, "resource id holds a zero character");
    write("a.bin", "a");
    expectError("5 WAVE \"a.bin\"\n\n5 wave \"a.bin\"\n", 3, "resource WAVE 5 is already defined at");
    expectError("\n\"Str\" 12-6 \"a.bin\"\n", 2, "resources of type 6 come from STRINGTABLE, not from a file");
    expectError("7 5 \"a.bin\"\n", 1, "resources of type 5 come from DIALOGEX, not from a file");
}
