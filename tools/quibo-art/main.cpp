// quibo-art: draws the artwork of every resource pack and synthesises the sounds.
//
//     quibo-art LAYOUTS OUT
//
// reads the layout files (large.txt, small.txt, handheld.txt) from LAYOUTS and writes into OUT:
//   packs/{l,s,p}-{hi,lo}/NAME.psp   the images of each pack, as layered image files
//   sounds/205.wav ... 215.wav       the game's sounds
//   intro/5000.psp, 5001-5003.wav    the intro's image and sounds
//   skin/NAME.psp                    the installer's skin images and pictures (501-503, 500)
//   sheets/*.png                     a contact sheet per pack and one of the intro
#include "geometry.h"
#include "intro.h"
#include "pack.h"
#include "png_writer.h"
#include "preview.h"
#include "quantise.h"
#include "sheet.h"
#include "skin.h"
#include "sounds.h"
#include "store.h"
#include "style.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;

struct DeviceClass {
    const char* letter;
    const char* layout;
};

constexpr DeviceClass kClasses[] = {{"l", "large.txt"}, {"s", "small.txt"}, {"p", "handheld.txt"}};

// Flat areas that must come out identical in every image of a low-colour pack.
std::vector<Rgb> ExactColours()
{
    using namespace style;
    return {Opaque(kFace), Opaque(kSelected), Opaque(kPlate), Opaque(kPlateShade), Opaque(kLabel)};
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file)
        throw std::runtime_error("quibo-art: cannot write " + path.string());
}

// The pack's images by name, with a row of tiles put together in front.
void WriteSheet(TextRenderer& text, const fs::path& path, const std::string& title, const Geometry& geometry,
                const std::vector<Artwork>& art, const std::vector<RgbImage>& images)
{
    auto image = [&](const char* name) {
        for (size_t i = 0; i < art.size(); ++i)
            if (art[i].name == name)
                return &images[i];
        throw std::logic_error(std::string("quibo-art: no image ") + name);
    };
    const RgbImage board = BoardPreview(*image("tiles"), *image("insets"), geometry);
    std::vector<SheetEntry> entries = {{"tiles as the game draws them", &board, board.width, board.height}};
    for (size_t i = 0; i < art.size(); ++i)
        entries.push_back({art[i].name, &images[i], art[i].cellWidth, art[i].cellHeight});
    WritePng(path.string(), ContactSheet(text, title, entries, 2));
}

void MakePacks(TextRenderer& text, const fs::path& layouts, const fs::path& out)
{
    for (const DeviceClass& device : kClasses) {
        const Geometry geometry = GeometryFromLayout(ReadLayout((layouts / device.layout).string()));
        const std::vector<Artwork> art = DrawPack(text, geometry);
        std::vector<RgbImage> hi;
        for (const Artwork& a : art)
            hi.push_back(Flatten(a));
        const IndexedSet lo = Quantise(hi, ExactColours());
        std::vector<RgbImage> loShown;
        for (const IndexedImage& image : lo.images)
            loShown.push_back(Expand(image, lo.palette));
        const std::string name = std::string("quibo-") + device.letter;
        const fs::path hiFolder = out / "packs" / (std::string(device.letter) + "-hi");
        const fs::path loFolder = out / "packs" / (std::string(device.letter) + "-lo");
        fs::create_directories(hiFolder);
        fs::create_directories(loFolder);
        for (size_t i = 0; i < art.size(); ++i) {
            WriteFile(hiFolder / (art[i].name + ".psp"), LayeredImage(hi[i]));
            WriteFile(loFolder / (art[i].name + ".psp"), LayeredImage(lo.images[i], lo.palette));
        }
        WriteSheet(text, out / "sheets" / (name + "-hi.png"), name + "-hi", geometry, art, hi);
        WriteSheet(text, out / "sheets" / (name + "-lo.png"), name + "-lo", geometry, art, loShown);
    }
}

void MakeIntro(TextRenderer& text, const fs::path& out)
{
    const IndexedSet intro = Quantise({Flatten(DrawIntro(text), false)}, {});
    WriteFile(out / "intro" / "5000.psp", LayeredImage(intro.images[0], intro.palette));
    const RgbImage shown = Expand(intro.images[0], intro.palette);
    WritePng((out / "sheets" / "intro.png").string(), ContactSheet(text, "intro", {{"intro", &shown, kIntroWidth, kIntroHeight}}, 2));
    for (const SoundFile& sound : IntroSounds())
        WriteFile(out / "intro" / (std::to_string(sound.id) + ".wav"), sound.bytes);
}

// The installer's skin images and pictures, and their contact sheet.
void MakeSkin(TextRenderer& text, const fs::path& out)
{
    fs::create_directories(out / "skin");
    const std::vector<SkinImage> images = DrawSkin();
    std::vector<SheetEntry> entries;
    for (const SkinImage& image : images) {
        WriteFile(out / "skin" / (image.name + ".psp"), image.bytes);
        entries.push_back({image.name, &image.preview, image.width, image.height});
    }
    WritePng((out / "sheets" / "installer.png").string(), ContactSheet(text, "installer skin", entries, 2));
}

void MakeSounds(const fs::path& out)
{
    for (const SoundFile& sound : GameSounds())
        WriteFile(out / "sounds" / (std::to_string(sound.id) + ".wav"), sound.bytes);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: quibo-art LAYOUTS OUT\n", stderr);
        return 1;
    }
    try {
        const fs::path out = argv[2];
        for (const char* folder : {"sheets", "intro", "sounds"})
            fs::create_directories(out / folder);
        TextRenderer text;
        MakePacks(text, argv[1], out);
        MakeIntro(text, out);
        MakeSkin(text, out);
        MakeSounds(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
