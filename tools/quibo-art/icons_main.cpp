// quibo-icons: draws the desktop icon into an icon theme folder, or into an icon file.
//
//     quibo-icons ROOT NAME
//     quibo-icons --ico FILE
//
// The first writes ROOT/NxN/apps/NAME.png for each of the usual sizes (ROOT is e.g.
// .../icons/hicolor); the second the icon file the programs' resource scripts name.
#include "icon.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: quibo-icons ROOT NAME | --ico FILE\n", stderr);
        return 1;
    }
    try {
        if (std::string(argv[1]) == "--ico")
            WriteIco(argv[2]);
        else
            WriteIcons(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
