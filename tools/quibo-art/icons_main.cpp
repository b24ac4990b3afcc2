// quibo-icons: draws the desktop icon into an icon theme folder.
//
//     quibo-icons ROOT NAME
//
// writes ROOT/NxN/apps/NAME.png for each of the usual sizes (ROOT is e.g. .../icons/hicolor).
#include "icon.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: quibo-icons ROOT NAME\n", stderr);
        return 1;
    }
    try {
        WriteIcons(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
