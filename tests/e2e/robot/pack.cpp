#include "pack.h"

#include "run.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

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

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The cells of a sheet cut into columns x rows of equal size.
std::vector<Image> CutGrid(const Image& sheet, int columns, int rows)
{
    std::vector<Image> cells;
    const int w = sheet.width / columns, h = sheet.height / rows;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            cells.push_back(Crop(sheet, column * w, row * h, w, h));
    return cells;
}

} // namespace

int LayoutNumber(const std::string& layout, const std::string& key)
{
    std::istringstream lines(layout);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos && Trim(line.substr(0, equals)) == key)
            return std::atoi(Trim(line.substr(equals + 1)).c_str());
    }
    return 0;
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
    const std::string layout = ReadLayout(tool, pack, folder);
    PackPictures pictures;
    const std::vector<Image> faces = CutGrid(Decode(tool, pack, folder, "tiles"), 3, 1);
    std::copy(faces.begin(), faces.end(), pictures.tiles.faces.begin());
    pictures.tiles.insets = CutGrid(Decode(tool, pack, folder, "insets"), 6, 9);
    pictures.tiles.insetSpacing = LayoutNumber(layout, "cyINSETS_SPACING");
    // Button faces are 68 x 46 cells, read row by row; the caption sits at (16, 17), 35 x 12.
    const Image buttons = Decode(tool, pack, folder, "buttons-en");
    const int columns = (buttons.width + 67) / 68;
    for (int i = 0; i < 14; ++i)
        pictures.captions.push_back(Crop(buttons, i % columns * 68 + 16, i / columns * 46 + 17, 35, 12));
    pictures.banners = CutGrid(Decode(tool, pack, folder, "gameover-en"), 1, 3);
    return pictures;
}
