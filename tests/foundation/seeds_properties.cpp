// The shipped layouts, and small texts at the edges of the line syntax.
#include "fuzz_seeds.h"

void WriteSeeds(const SeedFolder& seeds)
{
    // One whole layout; the others differ only in their numbers.
    seeds.Write("layout-large", SourceFile("assets/layouts/large.txt"));
    seeds.Write("crlf-no-final-break", "cxWINDOW = 760\r\ncyWINDOW=520\r\n\r\nlast = 1");
    seeds.Write("comments-and-skips", "# a = 1\n  = 2\nno equals\n\t#x=3\nkey = a=b # c\nempty =\n");
    seeds.Write("case-and-repeats", "Font-Main = a\nfont-main = b\nFONT-MAIN = c\n\xC5\x9C = 1\n\xC5\x9D = 2\n");
    seeds.Write("numbers", "a = +12\nb = -14\nc = 99999999999\nd = -2147483648\ne = -\nf = 12px\n");
    seeds.Write("colours", "a = #0000FF\nb = 00ff00x\nc = #12345\nd = #GG0000\ne = ##000000\n");
    seeds.Write("fonts", "font-high = MS Shell Dlg,-14\nfont-main = default,B,ui, 9 ,Face,Other\n");
    seeds.Write("odd-bytes", std::string_view("k\0ey = v\0al\n\xFF\xFE = \xC3\n\v = \f\n", 24));
}
