#include "skintemplate.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "utf.h"

namespace {

class Reader {
public:
    Reader(const void* data, size_t cb) : p_(static_cast<const BYTE*>(data)), cb_(cb) {}
    bool ok() const { return ok_; }
    void align4()
    {
        pos_ = (pos_ + 3) & ~size_t(3);
        if (pos_ > cb_)
            ok_ = false;
    }
    WORD word()
    {
        if (pos_ + 2 > cb_) {
            ok_ = false;
            return 0;
        }
        const WORD w = WORD(p_[pos_] | p_[pos_ + 1] << 8);
        pos_ += 2;
        return w;
    }
    DWORD dword()
    {
        const DWORD lo = word();
        return lo | DWORD(word()) << 16;
    }
    std::u16string text()
    {
        std::u16string out;
        while (ok_) {
            const char16_t c = word();
            if (!c || !ok_)
                break;
            out += c;
        }
        return out;
    }
    // A name, or 0xFFFF and an ordinal (returned as its negative).
    std::u16string nameOrOrdinal(int* ordinal)
    {
        *ordinal = 0;
        if (pos_ + 2 <= cb_ && p_[pos_] == 0xFF && p_[pos_ + 1] == 0xFF) {
            word();
            *ordinal = word();
            return {};
        }
        return text();
    }

private:
    const BYTE* p_;
    size_t cb_;
    size_t pos_ = 0;
    bool ok_ = true;
};

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string ClassOfOrdinal(int ordinal)
{
    switch (ordinal) {
    case 0x80: return "button";
    case 0x81: return "edit";
    case 0x82: return "static";
    case 0x83: return "listbox";
    case 0x84: return "scrollbar";
    case 0x85: return "combobox";
    default: return "#" + std::to_string(ordinal);
    }
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

} // namespace

bool ReadSkinTemplate(const void* data, size_t cb, SKINTEMPLATE& out)
{
    Reader r(data, cb);
    if (r.word() != 1 || r.word() != 0xFFFF)
        return false;
    r.dword(); // help id
    r.dword(); // extended style
    out.style = r.dword();
    const WORD count = r.word();
    const short x = short(r.word()), y = short(r.word()), cx = short(r.word()), cy = short(r.word());
    out.rect = RECT{x, y, x + cx, y + cy};
    int ordinal;
    r.nameOrOrdinal(&ordinal); // menu
    r.nameOrOrdinal(&ordinal); // class
    out.caption = Utf16ToUtf8(r.text());
    if (out.style & DS_SETFONT) {
        r.word();
        r.word();
        r.word();
        r.text();
    }
    out.items.clear();
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.align4();
        SKINITEM item;
        r.dword();
        r.dword();
        item.style = r.dword();
        const short ix = short(r.word()), iy = short(r.word()), icx = short(r.word()), icy = short(r.word());
        item.rect = RECT{ix, iy, ix + icx, iy + icy};
        item.id = int(r.dword());
        const std::u16string cls = r.nameOrOrdinal(&ordinal);
        item.windowClass = ordinal ? ClassOfOrdinal(ordinal) : Lower(Utf16ToUtf8(cls));
        const std::u16string title = r.nameOrOrdinal(&ordinal);
        item.text = ordinal ? std::string() : Utf16ToUtf8(title);
        const WORD extra = r.word();
        for (WORD k = 0; k < extra && r.ok(); k += 2)
            r.word();
        out.items.push_back(std::move(item));
    }
    return r.ok();
}

SKINKIND SkinKindOf(SKINITEM& item)
{
    if (item.windowClass == "static") {
        if (StartsWithNoCase(item.text, "CLASS:")) {
            item.windowClass = Lower(item.text.substr(6));
            item.text.clear();
        } else if (StartsWithNoCase(item.text, "USER:") || Lower(item.text) == "user") {
            item.windowClass = "user";
            item.text = item.text.size() > 5 ? item.text.substr(5) : std::string();
        }
    }
    const std::string& c = item.windowClass;
    if (c == "button") {
        switch (item.style & 0xF) {
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return SKIN_RBUTTON;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX: return SKIN_CBUTTON;
        default: return SKIN_PBUTTON;
        }
    }
    if (c == "msctls_progress32" || c == "msctls_progress" || c == "progress")
        return SKIN_PBAR;
    if (c == "scrollbar")
        return (item.style & SBS_VERT) ? SKIN_VSCROLL : SKIN_HSCROLL;
    if (c == "edit")
        return SKIN_EDIT;
    if (c == "listbox")
        return SKIN_LIST;
    if (c == "user")
        return SKIN_USER;
    return SKIN_TEXT;
}

void AssignSkinIds(std::vector<SKINITEM>& items, long dialogId, const std::vector<std::pair<long, std::set<int>>>& others,
                   std::set<int>& used, std::vector<std::string>& problems)
{
    auto taken = [&](int id) {
        if (used.count(id))
            return true;
        for (const auto& other : others)
            if (other.second.count(id))
                return true;
        return false;
    };
    int fresh = kSkinFirstFreshId;
    char message[160];
    for (SKINITEM& item : items) {
        const int id = item.id & 0xFFFF;
        if (id == 0xFFFF) {
            item.id = -1;
        } else if (used.count(id)) {
            std::snprintf(message, sizeof message, "Dialog %ld contains more than one control with ID %ld", dialogId, long(id));
            problems.push_back(message);
            item.id = -1;
        } else {
            for (const auto& other : others) {
                if (!other.second.count(id))
                    continue;
                std::snprintf(message, sizeof message, "Dialogs %ld and %ld both contain a control with ID %ld", other.first,
                              dialogId, long(id));
                problems.push_back(message);
                item.id = -1;
                break;
            }
            if (item.id != -1)
                item.id = id;
        }
        if (item.id == -1) {
            while (taken(fresh))
                ++fresh;
            item.id = fresh++;
        }
        used.insert(item.id);
    }
}
