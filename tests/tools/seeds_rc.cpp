// Resource scripts: the game's own, and small ones for each statement and directive.
#include "fuzz_seeds.h"
#include "ico_file.h"

void WriteSeeds(const SeedFolder& seeds)
{
    seeds.Write("game", SourceFile("assets/game.rc"));
    seeds.Write("language-test", SourceFile("tests/common/language_test.rc"));
    seeds.Write("dialog", R"(#include <windows.h>
#include "ids.h"
IDD_MAIN DIALOGEX 10, 20, 160, 100, 7
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_SYSMENU
EXSTYLE WS_EX_TOPMOST
CAPTION "Name \"quoted\"\tand \x263A"
CLASS "OwnDialogClass"
FONT 9, "MS Shell Dlg", 700, 1, 0
{
    CONTROL "Label:", -1, "static", SS_LEFT, 7, 7, 60, 8
    CONTROL "", 1024, "ComboBox", CBS_DROPDOWN | NOT WS_VISIBLE, 7, 18, 120, 60, WS_EX_CLIENTEDGE, 42
    CONTROL 5, 1025, "Own", 0x10 + 2 - ~0, -3, (4), 50, 14
    CONTROL "OK", IDC_OK, "button", BS_DEFPUSHBUTTON | WS_TABSTOP, 65, 76, 50, 14
}
)");
    seeds.Write("strings", R"(// Strings in blocks of sixteen
#define BASE 30
STRINGTABLE
BEGIN
    0 "zero"
    15, "fifteen" " joined"
    16 L"wide \101\x42"
    BASE + 1 "esperanto \xC5\x9C"
    65535 ""
END
#ifdef BASE
STRINGTABLE { 2 "two" }
#else
#error never
#endif
)");
    seeds.Write("binary", "#pragma code_page(65001)\n1 WAVE \"data.bin\"\nNAMED \"LOWER\" \"data.bin\"\n"
                          "\"Str\" 256 \"data.bin\"\n#undef NOTHING\n");
    // Found by fuzzing: texts a dialog stores zero-terminated, holding a zero.
    constexpr char zeros[] = "1 DIALOGEX 0, 0, 9, 9\nCAPTION \"a\\0\"\nBEGIN\n"
                             "CONTROL \"x\", 1, \"static\0\", 0, 0, 0, 1, 1\nEND\n";
    seeds.Write("zero-in-texts", std::string_view(zeros, sizeof zeros - 1));
    // Found by fuzzing: a file in the place of a string block.
    seeds.Write("file-as-string-block", "\"Str\" 12-6 \"data.bin\"\nSTRINGTABLE { 0 \"a\" }\n");
    // Found by fuzzing: a file name too long for the system to look up.
    seeds.Write("long-include", "#include \"" + std::string(5000, 'n') + ".h\"\n");
    seeds.Write("icons", "IDI_MAIN ICON \"icon.ico\"\n7 ICON \"icon.ico\"\n\"Small\" ICON \"icon.ico\"\n");
    // The input is read as an icon file too.
    seeds.Write("icon-file", IcoFile({1, 2}));
    seeds.Write("nested-defines", "#define A B\n#define B C\n#define C 5\n#ifndef D\nA DIALOGEX 0,0,1,1 BEGIN END\n#endif\n");
}
