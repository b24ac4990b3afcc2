// quibo-art: draws the artwork of every resource pack and synthesises the sounds.
//
//     quibo-art LAYOUTS OUT
//
// reads the layout files (large.txt, small.txt, handheld.txt) from LAYOUTS and writes into OUT
// the images of each pack, the game's sounds, the intro's image and sounds, and a contact
// sheet per pack.
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include <fstream>

#include "geometry.h"
#include "intro.h"
#include "sounds.h"
#include "pack.h"
#include "png.h"
#include "quantise.h"
#include "sheet.h"
#include "style.h"

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

void WriteSheet(TextRenderer& text, const fs::path& path, const std::string& title, const std::vector<Artwork>& art,
                const std::vector<RgbImage>& images)
{
    std::vector<SheetEntry> entries;
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
        WriteSheet(text, out / "sheets" / (name + "-hi.png"), name + "-hi", art, hi);
        WriteSheet(text, out / "sheets" / (name + "-lo.png"), name + "-lo", art, loShown);
    }
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file)
        throw std::runtime_error("quibo-art: cannot write " + path.string());
}

void MakeIntro(TextRenderer& text, const fs::path& out)
{
    const IndexedSet intro = Quantise({Flatten(DrawIntro(text), false)}, {});
    const RgbImage shown = Expand(intro.images[0], intro.palette);
    WritePng((out / "sheets" / "intro.png").string(),
             ContactSheet(text, "intro", {{"intro", &shown, kIntroWidth, kIntroHeight}}, 2));
    for (const SoundFile& sound : IntroSounds())
        WriteFile(out / "intro" / (std::to_string(sound.id) + ".wav"), sound.bytes);
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
        MakeSounds(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
