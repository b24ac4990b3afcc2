// The resource compiler over any script. What must hold: a script is compiled, or refused
// with a ScriptError that names a file; every dialog it compiles is one the platform reads,
// field for field (read back and encoded again it gives the same bytes, help ids and the
// character set aside, which the platform does not keep); every string block is sixteen
// counted strings; every icon image is one the platform reads and every icon group picks one
// of the script's images; resource names hold no zero unit; and the generated source carries
// each resource's bytes exactly. The same input is read as an icon file too: one the reader
// takes is one whose images the platform reads.
#include "dialog.h"
#include "emit.h"
#include "fuzz_check.h"
#include "fuzz_scratch.h"
#include "ico_file.h"
#include "iconfile.h"
#include "lexer.h"
#include "parser.h"
#include "user32/dlgtemplate.h"
#include "user32/iconimage.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr uint16_t kIconType = 3;
constexpr uint16_t kDialogType = 5;
constexpr uint16_t kStringType = 6;
constexpr uint16_t kIconGroupType = 14;

size_t align4(size_t n)
{
    return (n + 3) & ~size_t{3};
}

uint16_t word(const std::vector<uint8_t>& b, size_t at)
{
    return at + 2 <= b.size() ? uint16_t(b[at] | b[at + 1] << 8) : 0;
}

ScriptDialog header(const DialogTemplate& r, uint32_t helpId, uint8_t charset)
{
    ScriptDialog d;
    d.helpId = helpId;
    d.exStyle = r.exStyle;
    d.style = r.style;
    d.x = int16_t(r.rect.left);
    d.y = int16_t(r.rect.top);
    d.cx = int16_t(r.rect.right - r.rect.left);
    d.cy = int16_t(r.rect.bottom - r.rect.top);
    d.windowClass.text = r.className;
    d.title = r.title;
    if (r.hasFont)
        d.font = DialogFont{r.pointSize, r.weight, uint8_t(r.italic), charset, r.face};
    return d;
}

// The read-back template encoded again. The platform reads a control text given as an
// ordinal as no text; such a text is taken from the original bytes, where it would stand.
std::vector<uint8_t> encodeAgain(const DialogTemplate& r, const std::vector<uint8_t>& original, uint32_t helpId, uint8_t charset)
{
    const ScriptDialog bare = header(r, helpId, charset);
    const size_t cbHeader = align4(EncodeDialog(bare).size());
    ScriptDialog d = bare;
    size_t at = cbHeader;
    for (const DialogTemplateItem& read : r.items) {
        DialogControl c;
        c.helpId = helpId;
        c.exStyle = read.exStyle;
        c.style = read.style;
        c.x = int16_t(read.rect.left);
        c.y = int16_t(read.rect.top);
        c.cx = int16_t(read.rect.right - read.rect.left);
        c.cy = int16_t(read.rect.bottom - read.rect.top);
        c.id = uint32_t(read.id);
        c.windowClass = ControlClass(read.className);
        c.title.text = read.text;
        const size_t cbClass = c.windowClass.ordinal ? 4 : 2 * (c.windowClass.text.size() + 1);
        const size_t title = at + 24 + cbClass;
        if (read.text.empty() && word(original, title) == 0xFFFF)
            c.title.ordinal = word(original, title + 2);
        ScriptDialog alone = bare;
        alone.controls.push_back(c);
        at = align4(at + EncodeDialog(alone).size() - cbHeader);
        d.controls.push_back(c);
    }
    return EncodeDialog(d);
}

void checkDialog(const std::vector<uint8_t>& bytes)
{
    const std::optional<DialogTemplate> read = ReadDialogTemplate(bytes.data(), bytes.size());
    FUZZ_REQUIRE(read.has_value());
    const std::vector<uint8_t> low = encodeAgain(*read, bytes, 0, 0);
    const std::vector<uint8_t> high = encodeAgain(*read, bytes, 0xFFFFFFFF, 0xFF);
    FUZZ_REQUIRE(low.size() == bytes.size() && high.size() == bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        FUZZ_REQUIRE(low[i] != high[i] || low[i] == bytes[i]);
}

void checkStringBlock(const Resource& r)
{
    FUZZ_REQUIRE(r.name.name.empty() && r.name.number >= 1);
    size_t at = 0;
    for (int i = 0; i < 16; ++i) {
        FUZZ_REQUIRE(at + 2 <= r.bytes.size());
        at += 2 + 2 * size_t(word(r.bytes, at));
    }
    FUZZ_REQUIRE(at == r.bytes.size());
}

void checkIconImage(const std::vector<uint8_t>& bytes)
{
    FUZZ_REQUIRE(ReadIconImage(bytes.data(), bytes.size()).has_value());
}

void checkIconGroup(const std::vector<Resource>& resources, const Resource& group)
{
    const std::optional<WORD> id = PickIconImage(group.bytes.data(), group.bytes.size(), 32, 32);
    FUZZ_REQUIRE(id.has_value());
    bool found = false;
    for (const Resource& r : resources)
        found |= r.type.name.empty() && r.type.number == kIconType && r.name.name.empty() && r.name.number == *id;
    FUZZ_REQUIRE(found);
}

// The bytes of the literal that follows `declaration` in generated source.
std::vector<uint8_t> literalAfter(const std::string& source, const std::string& declaration)
{
    std::vector<uint8_t> bytes;
    size_t i = source.find(declaration);
    FUZZ_REQUIRE(i != std::string::npos);
    i += declaration.size();
    while (source[i] != ';') {
        if (source[i] != '"') {
            ++i;
            continue;
        }
        for (++i; source[i] != '"'; ++i) {
            if (source[i] == '\\') {
                bytes.push_back(uint8_t((source[i + 1] - '0') * 64 + (source[i + 2] - '0') * 8 + (source[i + 3] - '0')));
                i += 3;
            } else {
                bytes.push_back(uint8_t(source[i]));
            }
        }
        ++i;
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // What a script may include or name: a header of ids and a data file.
    const std::string ids = "#define IDD_MAIN 200\n#define IDC_OK 1\n#ifndef IDS_BASE\n#define IDS_BASE 10\n#endif\n";
    WriteScratchFile("ids.h", reinterpret_cast<const uint8_t*>(ids.data()), ids.size());
    const uint8_t data[] = {0, 1, 2, 0xFF, '"', '\\', '?'};
    WriteScratchFile("data.bin", data, sizeof data);
    const std::vector<uint8_t> icon = IcoFile({1, 2});
    WriteScratchFile("icon.ico", icon.data(), icon.size());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Scripts stay among their own files: the system's special files may block or never end.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (std::string_view special : {"/dev", "/proc", "/sys"})
        if (text.find(special) != std::string_view::npos)
            return 0;
    const std::string path = WriteScratchFile("script.rc", data, size).string();

    const IconFile icon = ReadIconFile(std::vector<uint8_t>(data, data + size));
    FUZZ_REQUIRE(icon.error.empty() != icon.images.empty());
    for (const IconImage& image : icon.images)
        checkIconImage(image.bytes);

    CompiledScript compiled;
    try {
        Lexer lexer(path, {FuzzScratch().string()});
        compiled = CompileScript(lexer);
    } catch (const ScriptError& e) {
        FUZZ_REQUIRE(!e.file.empty() && !e.message.empty() && e.line >= 0);
        return 0;
    }

    const std::string source = GenerateSource(compiled.resources, path);
    for (size_t i = 0; i < compiled.resources.size(); ++i) {
        const Resource& r = compiled.resources[i];
        for (const ResourceId* id : {&r.type, &r.name})
            FUZZ_REQUIRE(id->name.find(u'\0') == std::u16string::npos);
        if (r.type.name.empty() && r.type.number == kDialogType)
            checkDialog(r.bytes);
        if (r.type.name.empty() && r.type.number == kStringType)
            checkStringBlock(r);
        if (r.type.name.empty() && r.type.number == kIconType)
            checkIconImage(r.bytes);
        if (r.type.name.empty() && r.type.number == kIconGroupType)
            checkIconGroup(compiled.resources, r);
        FUZZ_REQUIRE(literalAfter(source, "kData" + std::to_string(i) + "[] =\n") == r.bytes);
    }
    return 0;
}
