#include "cea_sprite.h"
#include "skinlib.h"
#include "skinmarkup.h"
#include "skintemplate.h"
#include "unzipper.h"
#include "zip_builder.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>

using namespace std::string_literals;

namespace {

// Markup

// Each run as its text, "*" when bold and "@" with the address inside a link, then "|".
std::string Runs(const char* markup)
{
    std::string shown;
    for (const SKINTEXTRUN& run : ParseSkinMarkup(markup))
        shown += run.text + (run.style.fBold ? "*" : "") + (run.style.href.empty() ? "" : "@" + run.style.href) + "|";
    return shown;
}

TEST(SkinMarkup, RunsStylesAndFontAttributes)
{
    // Unbalanced: a closing tag with nothing open is dropped, an open tag runs to the end;
    // closing an outer tag closes the inner one too; unknown tags vanish; a "<" without ">"
    // is text.
    const char* const cases[][2] = {{"plain", "plain|"},
                                    {"<b>Install</b> now", "Install*| now|"},
                                    {"<B>caps</B>", "caps*|"},
                                    {"</b>a<b>b", "a|b*|"},
                                    {"<b>x<i>y</b>z</i>", "x*|y*|z|"},
                                    {"a<blink>b</blink>c", "abc|"},
                                    {"1 < 2", "1 < 2|"},
                                    {"<a href=mailto:x@example.com>x@example.com</a>", "x@example.com@mailto:x@example.com|"},
                                    {"<a>no address</a>", "no address|"},
                                    {"", ""}};
    for (const auto& [markup, runs] : cases)
        EXPECT_EQ(Runs(markup), runs) << markup;

    // Font attributes, and bad values that leave the control's own.
    auto style = [](const char* markup) {
        const auto runs = ParseSkinMarkup(markup);
        EXPECT_EQ(runs.size(), 1u) << markup;
        const SKINTEXTSTYLE& s = runs.at(0).style;
        return std::tuple(s.face, s.size, s.color, s.fItalic);
    };
    // A colour is a colour reference: blue, green, red.
    EXPECT_EQ(style("<font face=arial size=18 color=#FF8000><i>Quibo Setup</i></font>"), std::tuple("arial", 18, 0x0080FFu, true));
    EXPECT_EQ(style("<font size=-3 color=#XYZ face='Deja Vu'>t"), std::tuple("Deja Vu", 0, 0xFFFFFFFFu, false));
    EXPECT_EQ(SkinMarkupPlainText("<b>Quibo</b> <font size=9>Setup"), "Quibo Setup");
}

// Templates and ids

// The ids buttons with `ids` get in dialog 103, then each problem after "|".
std::string Assigned(std::initializer_list<int> ids, const std::vector<std::pair<long, std::set<int>>>& others = {})
{
    std::vector<SKINITEM> items;
    for (int id : ids)
        items.push_back({"button", 0, id, {}, ""});
    std::set<int> used;
    std::vector<std::string> problems;
    AssignSkinIds(items, 103, others, used, problems);
    std::string shown;
    for (const SKINITEM& item : items)
        shown += std::to_string(item.id) + " ";
    for (const std::string& problem : problems)
        shown += "| " + problem;
    return shown;
}

TEST(SkinIds, DuplicatesAndClashesGetFreshIdsAndMessages)
{
    EXPECT_EQ(Assigned({1000, 1001}), "1000 1001 ");
    EXPECT_EQ(Assigned({-1, 65535, -1}), "40100 40101 40102 ");
    EXPECT_EQ(Assigned({1000, 1000}), "1000 40100 | Dialog 103 contains more than one control with ID 1000");
    EXPECT_EQ(Assigned({1006}, {{101, {1006}}}), "40100 | Dialogs 101 and 103 both contain a control with ID 1006");
    EXPECT_EQ(Assigned({40100, -1}, {{101, {40101}}}), "40100 40102 ") << "fresh ids skip used ones";
}

// Little-endian words, then each text in wide characters with its terminating zero.
void Put(std::vector<BYTE>& b, std::initializer_list<unsigned> words, std::initializer_list<const char*> texts = {})
{
    for (unsigned w : words)
        b.insert(b.end(), {BYTE(w), BYTE(w >> 8)});
    for (const char* text : texts) {
        for (const char* c = text; *c; ++c)
            Put(b, {BYTE(*c)});
        Put(b, {0});
    }
}

TEST(SkinTemplates, ReadsKindsAStaticsTextCanNameAndRefusesEveryTruncation)
{
    // A caption, a radio button (by ordinal) and a "static" naming its class; an item starts
    // on a four-byte boundary.
    std::vector<BYTE> b;
    Put(b, {1, 0xFFFF, 0, 0, 0, 0, 0, HIWORD(WS_POPUP | WS_SYSMENU), 2, 0, 0, 380, 134, 0, 0}, {"QuiboSetup"});
    b.resize(b.size() + (4 - b.size() % 4) % 4);
    Put(b, {0, 0, 0, 0, BS_AUTORADIOBUTTON, HIWORD(WS_CHILD), 10, 20, 60, 12, 1001, 0, 0xFFFF, 0x80, 'E', 'n', 0, 0});
    b.resize(b.size() + (4 - b.size() % 4) % 4);
    Put(b, {0, 0, 0, 0, 0, HIWORD(WS_CHILD), 10, 20, 60, 12, 1008, 0}, {"Static", "Class:Progress"});
    Put(b, {0});
    SKINTEMPLATE t;
    ASSERT_TRUE(ReadSkinTemplate(b.data(), b.size(), t));
    ASSERT_EQ(t.items.size(), 2u);
    EXPECT_EQ((std::tuple{t.caption, t.rect.right, SkinKindOf(t.items[0]), t.items[0].text, SkinKindOf(t.items[1]), t.items[1].text}),
              (std::tuple{std::string("QuiboSetup"), 380, SKIN_RBUTTON, std::string("En"), SKIN_PBAR, std::string()}));
    for (size_t cb = 0; cb + 2 < b.size(); ++cb)
        EXPECT_FALSE(ReadSkinTemplate(b.data(), cb, t)) << cb;

    // A static's text can name its kind.
    auto kind = [](const char* cls, DWORD style, const char* text) {
        SKINITEM item{cls, style, 1, {}, text};
        return std::pair{SkinKindOf(item), item.text}; // and what is left of the text
    };
    EXPECT_EQ(kind("static", 0, "USER"), std::pair(SKIN_USER, ""s));
    EXPECT_EQ(kind("static", 0, "user:picture"), std::pair(SKIN_USER, "picture"s));
    EXPECT_EQ(kind("static", 0, "CLASS:msctls_progress32"), std::pair(SKIN_PBAR, ""s));
    EXPECT_EQ(kind("static", 0, "Users of Quibo"), std::pair(SKIN_TEXT, "Users of Quibo"s));
    EXPECT_EQ(kind("button", BS_DEFPUSHBUTTON, "x"), std::pair(SKIN_PBUTTON, "x"s));
}

// Skin archives, from the installer's own skin: each entry, with `name` replaced by `data` or
// left out without it.
std::vector<ZipItem> InstallerSkin(const std::string& name = "", const std::optional<Bytes>& data = std::nullopt)
{
    std::ifstream in("../installer/skin.zip", std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), {});
    ZIPFILE archive(bytes.data(), DWORD(bytes.size()), false);
    std::vector<ZipItem> items;
    for (auto& entry : archive)
        if (entry.value->View() != name)
            items.push_back(StoredItem(std::string(entry.value->View()),
                                       Bytes(entry.value->pbUncompressed, entry.value->pbUncompressed + entry.value->cbUncompressed)));
    if (data)
        items.push_back(StoredItem(name, *data));
    return items;
}

// What loading the first `cb` bytes of the archive of `items` and asking for the progress bar's
// image throws; "" when both succeed.
std::string Error(const std::vector<ZipItem>& items, size_t cb = SIZE_MAX)
{
    const Bytes zip = BuildZip(items);
    try {
        SKIN::FromMemory(zip.data(), DWORD(std::min(cb, zip.size())))->Require("progress bar", "pbar");
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

TEST(SkinArchive, TheInstallersSkinHasEveryImageAndEachMissingOrDamagedPartIsNamed)
{
    const auto items = InstallerSkin();
    const Bytes zip = BuildZip(items);
    const auto skin = SKIN::FromMemory(zip.data(), DWORD(zip.size()));
    for (const char* name :
         {"background", "frame-c", "frame-lr", "frame-tb", "frame-x", "frame-min", "pbutton", "rbutton",   "cbutton",    "pbar",
          "hscroll",    "vscroll", "edit",     "cursor",   "list",    "listitem",  "hover",   "icon-info", "icon-alert", "icon-question"})
        EXPECT_NE(skin->Image(name), nullptr) << name;
    // "rbutton" has no "text tborder" nor a plain one; "list" has the plain "disabled text color".
    EXPECT_EQ((std::tuple{skin->Transparent(), skin->Number("pbutton", "text lborder", 0), skin->Number("rbutton", "text tborder", -1),
                          skin->Color("edit", "text color", 1), skin->Color("list", "disabled text color", 0),
                          skin->Image("pbutton")->FrameCount() >= 3}),
              (std::tuple{RGB(0, 0, 255), 26, -1, RGB(0, 0, 0), RGB(0x60, 0x80, 0xE0), true}));

    const Bytes& rbutton = std::find_if(items.begin(), items.end(), [](const ZipItem& item) { return item.name == "rbutton.psp"; })->data;
    EXPECT_EQ(Error(InstallerSkin("skin.txt")), "the skin has no skin.txt");
    EXPECT_EQ(Error(InstallerSkin("skin.txt", Bytes{'s', 'k', 'i', 'n', '=', 0, 'x'})), "the skin's skin.txt is not a text file");
    EXPECT_EQ(Error(InstallerSkin("skin.txt", Bytes{'s', '=', 0xC3, 0x28})), "the skin's skin.txt is not a text file");
    EXPECT_EQ(Error(InstallerSkin("rbutton.psp", Bytes(rbutton.begin(), rbutton.begin() + rbutton.size() / 2))),
              "the skin Quibo has a damaged image rbutton.psp");
    // A missing image is reported when a control needs it; a cut archive is the archive reader's.
    EXPECT_EQ(Error(InstallerSkin("pbar.psp")), "the skin Quibo is missing the progress bar pbar image");
    EXPECT_EQ(Error(items, zip.size() / 3), "the .ZIP file specified contains an entry which extends beyond the supplied data");
}

} // namespace
