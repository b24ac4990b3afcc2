#include "pack.h"

#include "run.h"

#include <filesystem>
#include <fstream>
#include <regex>

namespace {

// Unpacks one image of the pack into the folder, unless an earlier run left it there.
Image Decode(const std::string& tool, const std::string& pack, const std::string& folder, const std::string& entry)
{
    const std::string base = folder + "/" + entry;
    if (!std::filesystem::exists(base + ".bmp")) {
        Capture({tool, "zip-extract", pack, entry + ".zz", base + ".zz"});
        Capture({tool, "zz-unpack", base + ".zz", base + ".psp"});
        Capture({tool, "psp-to-bmp", base + ".psp", base + ".bmp"});
    }
    return ReadPicture(base + ".bmp");
}

// The cells of a sheet cut into columns x rows of equal size.
std::vector<Image> CutGrid(const Image& sheet, int columns, int rows)
{
    std::vector<Image> cells;
    const int w = sheet.width / columns, h = sheet.height / rows;
    for (int i = 0; i < columns * rows; ++i)
        cells.push_back(Crop(sheet, i % columns * w, i / columns * h, w, h));
    return cells;
}

} // namespace

int LayoutNumber(const std::string& layout, const std::string& key)
{
    std::smatch match;
    const bool found = std::regex_search(layout, match, std::regex("(^|\n)[ \t]*" + key + "[ \t]*=[ \t]*(-?[0-9]{1,9})"));
    return found ? std::stoi(match[2]) : 0;
}

std::string ReadLayout(const std::string& tool, const std::string& pack, const std::string& folder)
{
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/layout.txt";
    if (!std::filesystem::exists(path))
        Capture({tool, "zip-extract", pack, "layout.txt", path});
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), {}};
}

PackPictures DecodePack(const std::string& tool, const std::string& pack, const std::string& folder)
{
    PackPictures pictures;
    pictures.tiles.insetSpacing = LayoutNumber(ReadLayout(tool, pack, folder), "cyINSETS_SPACING"); // makes the folder
    const std::vector<Image> faces = CutGrid(Decode(tool, pack, folder, "tiles"), 3, 1);
    std::copy(faces.begin(), faces.end(), pictures.tiles.faces.begin());
    pictures.tiles.insets = CutGrid(Decode(tool, pack, folder, "insets"), 6, 9);
    // Button faces are 68 x 46 cells, read row by row; the caption sits at (16, 17), 35 x 12.
    const Image buttons = Decode(tool, pack, folder, "buttons-en");
    const int columns = (buttons.width + 67) / 68;
    for (int i = 0; i < 14; ++i)
        pictures.captions.push_back(Crop(buttons, i % columns * 68 + 16, i / columns * 46 + 17, 35, 12));
    pictures.banners = CutGrid(Decode(tool, pack, folder, "gameover-en"), 1, 3);
    return pictures;
}
