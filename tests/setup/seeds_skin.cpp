// The installer's skin description, descriptions at the edges of its values, and the markup
// the installer's texts use, with tags that are unbalanced, unknown or never closed.
#include "fuzz_seeds.h"

#include <string>

void WriteSeeds(const SeedFolder& seeds)
{
    seeds.Write("installer-skin", SourceFile("assets/installer/skin.txt"));
    seeds.Write("odd-values", "transparent color = 0000ff\nfont = ,,,B,I,U\nedit font = Arial,-99999999999\n"
                              "pbutton text color = #GGGGGG\ntext border = -2147483649\nlist text layout = centre\n");
    seeds.Write("not-text", std::string("skin = a\0b\n", 11));
    seeds.Write("bad-utf8", "skin = \xC3\x28\nfont = \xEF\xBF\xBD\n");
    seeds.Write("title", "<font face=arial size=18><i>Quibo Setup</i></font>");
    seeds.Write("error", "<b>An error was encountered.</b>\n\n%s\n\nContact <a href=mailto:support@example.com>support</a>");
    seeds.Write("quoted", "<FONT face='Times New Roman' size=\"201\" color=#12ab9Z>x</font><a href=\"\">y</a>");
    seeds.Write("unbalanced", "</b>a<b><i>b</b>c</i><u>d<a>e<blink>f</blink><font size=0 color=#ff0000>g<");
    seeds.Write("open-quote", "<a href='never>x</a><font face=\"a>y");
}
