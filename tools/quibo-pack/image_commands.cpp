// The image commands: layered images to bitmap files and back, and what a layered image holds.
#include "cea_graphic.h"
#include "commands.h"
#include "files.h"
#include "memmgr.h"
#include "psp_writer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// "RRGGBB" as a colour reference.
COLORREF ParseColor(const std::string& text)
{
    char* end = nullptr;
    const unsigned long rgb = std::strtoul(text.c_str(), &end, 16);
    if (text.size() != 6 || *end != '\0')
        throw CommandError("quibo-pack: " + text + " is not a colour (RRGGBB)");
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::string ColorText(COLORREF color)
{
    if (color == kNoColor)
        return "none";
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", unsigned(color & 0xFF), unsigned((color >> 8) & 0xFF), unsigned((color >> 16) & 0xFF));
    return text;
}

// The options after the two file names: a flag alone, or a flag and its value.
struct Options {
    COLORREF color = kNoColor;
    psp::Compression compression = psp::Compression::None;
};

Options ParseOptions(const Args& args, size_t first, const char* colorFlag, bool compressionFlags)
{
    Options options;
    for (size_t i = first; i < args.size(); ++i) {
        if (args[i] == colorFlag && i + 1 < args.size())
            options.color = ParseColor(args[++i]);
        else if (compressionFlags && args[i] == "--rle")
            options.compression = psp::Compression::RunLength;
        else if (compressionFlags && args[i] == "--deflate")
            options.compression = psp::Compression::Deflate;
        else
            throw CommandError("quibo-pack: unknown option " + args[i]);
    }
    return options;
}

struct Frames {
    FrameList list;
    ~Frames()
    {
        for (Graphic* frame : list)
            MEM_DELETE(frame);
    }
};

HANDLE CreateOutput(const std::string& path)
{
    HANDLE file = CreateFileW(std::filesystem::path(path).u16string().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw CommandError("quibo-pack: cannot write " + path);
    return file;
}

} // namespace

void PspToBmp(const Args& args)
{
    const Options options = ParseOptions(args, 2, "--transparent", false);
    const Bytes data = ReadWholeFile(args[0]);
    Graphic graphic(data.data(), DWORD(data.size()), nullptr, options.color);
    if (!graphic.HasBitmap())
        throw CommandError("quibo-pack: " + args[0] + " is not a layered image");
    HANDLE file = CreateOutput(args[1]);
    const bool saved = graphic.Save(file);
    CloseHandle(file);
    if (!saved)
        throw CommandError("quibo-pack: cannot write " + args[1]);
}

void PspInfo(const Args& args)
{
    const Bytes data = ReadWholeFile(args[0]);
    Frames frames;
    Graphic target(data.data(), DWORD(data.size()), &frames.list, kNoColor);
    const Graphic* first = frames.list.Count() ? frames.list[0] : &target;
    if (!first->HasBitmap())
        throw CommandError("quibo-pack: " + args[0] + " is not a layered image");
    std::printf("width: %d\n", first->GetWidth());
    std::printf("height: %d\n", first->GetHeight());
    std::printf("bit depth: %d\n", first->GetBitCount());
    std::printf("layers: %zu\n", frames.list.Count() ? frames.list.Count() : size_t(1));
    std::printf("transparent: %s\n", ColorText(first->GetTransparency()).c_str());
    std::printf("translucency: %lu\n", static_cast<unsigned long>(first->GetTranslucency()->type));
    std::printf("selection: %s\n", target.HasSelection() ? "yes" : "no");
}

void BmpToPsp(const Args& args)
{
    const Options options = ParseOptions(args, 2, "--key", true);
    const Bytes data = ReadWholeFile(args[0]);
    Graphic bitmap(data.data(), DWORD(data.size()));
    if (!bitmap.HasBitmap())
        throw CommandError("quibo-pack: " + args[0] + " is not a bitmap");
    psp::Image image;
    image.width = bitmap.GetWidth();
    image.height = bitmap.GetHeight();
    image.compression = options.compression;
    image.bitDepth = bitmap.GetBitCount() == 8 ? 8 : 24;
    if (image.bitDepth == 8) {
        PALETTEENTRY entries[256];
        bitmap.GetPaletteEntries(entries, 0, 256);
        for (const PALETTEENTRY& e : entries)
            image.palette.push_back({e.peRed, e.peGreen, e.peBlue});
    }
    std::vector<uint32_t> pixels;
    psp::Mask mask;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const COLORREF color = bitmap.GetPixelColor(x, y);
            pixels.push_back(image.bitDepth == 8 ? bitmap.GetPixelValue(x, y)
                                                 : (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF));
            mask.values.push_back(color == options.color ? 0 : 255);
        }
    }
    image.layers.push_back(psp::WholeLayer(image, std::move(pixels)));
    if (options.color != kNoColor)
        image.layers[0].masks.push_back(std::move(mask));
    const Bytes file = psp::WritePspImage(image);
    WriteWholeFile(args[1], file.data(), file.size());
}
