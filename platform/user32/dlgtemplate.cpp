#include "dlgtemplate.h"

#include <cstring>

namespace {

constexpr size_t kMaxItems = 1024;

class Reader {
public:
    Reader(const BYTE* data, size_t size) : data_(data), size_(size) { }

    bool ok() const { return ok_; }

    template<class T> T read()
    {
        T value{};
        if (!ok_ || size_ - pos_ < sizeof(T)) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    void align4()
    {
        const size_t aligned = (pos_ + 3) & ~size_t{3};
        if (aligned > size_)
            ok_ = false;
        else
            pos_ = aligned;
    }

    std::u16string string()
    {
        std::u16string text;
        for (;;) {
            const auto unit = read<char16_t>();
            if (!ok_ || unit == 0)
                return text;
            text.push_back(unit);
        }
    }

    // A name or ordinal: 0 (none), 0xFFFF and a number, or a string.
    std::u16string nameOrOrdinal(WORD& ordinal)
    {
        ordinal = 0;
        const auto first = read<WORD>();
        if (!ok_ || first == 0)
            return {};
        if (first == 0xFFFF) {
            ordinal = read<WORD>();
            return {};
        }
        pos_ -= sizeof(WORD);
        return string();
    }

private:
    const BYTE* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

std::u16string ClassOfOrdinal(WORD ordinal)
{
    switch (ordinal) {
    case 0x80: return u"Button";
    case 0x81: return u"Edit";
    case 0x82: return u"Static";
    case 0x83: return u"ListBox";
    case 0x84: return u"ScrollBar";
    case 0x85: return u"ComboBox";
    default: return {};
    }
}

RECT ReadRect(Reader& in)
{
    const auto x = in.read<SHORT>();
    const auto y = in.read<SHORT>();
    const auto cx = in.read<SHORT>();
    const auto cy = in.read<SHORT>();
    return RECT{x, y, x + cx, y + cy};
}

bool ReadItem(Reader& in, DialogTemplateItem& item)
{
    in.align4();
    in.read<DWORD>(); // help id
    item.exStyle = in.read<DWORD>();
    item.style = in.read<DWORD>();
    item.rect = ReadRect(in);
    item.id = static_cast<int>(in.read<DWORD>());
    WORD ordinal;
    item.className = in.nameOrOrdinal(ordinal);
    if (ordinal) {
        item.className = ClassOfOrdinal(ordinal);
        if (item.className.empty())
            return false;
    }
    item.text = in.nameOrOrdinal(ordinal); // an ordinal text names an image: no text
    const auto extra = in.read<WORD>();
    for (WORD i = 0; i < extra && in.ok(); ++i)
        in.read<BYTE>();
    return in.ok() && !item.className.empty();
}

} // namespace

std::optional<DialogTemplate> ReadDialogTemplate(const BYTE* data, size_t size)
{
    if (!data)
        return std::nullopt;
    Reader in(data, size);
    DialogTemplate dialog;
    if (in.read<WORD>() != 1 || in.read<WORD>() != 0xFFFF)
        return std::nullopt;
    in.read<DWORD>(); // help id
    dialog.exStyle = in.read<DWORD>();
    dialog.style = in.read<DWORD>();
    const auto count = in.read<WORD>();
    dialog.rect = ReadRect(in);
    WORD ordinal;
    in.nameOrOrdinal(ordinal); // menu: none is used
    dialog.className = in.nameOrOrdinal(ordinal);
    if (ordinal)
        return std::nullopt;
    dialog.title = in.string();
    if (dialog.style & DS_SETFONT) {
        dialog.hasFont = true;
        dialog.pointSize = in.read<WORD>();
        dialog.weight = in.read<WORD>();
        dialog.italic = in.read<BYTE>() != 0;
        in.read<BYTE>(); // character set
        dialog.face = in.string();
    }
    if (!in.ok() || count > kMaxItems)
        return std::nullopt;
    dialog.items.resize(count);
    for (DialogTemplateItem& item : dialog.items)
        if (!ReadItem(in, item))
            return std::nullopt;
    return dialog;
}
