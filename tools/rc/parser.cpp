#include "parser.h"

#include "constants.h"
#include "dialog.h"
#include "iconfile.h"
#include "stringtable.h"
#include "utf.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

constexpr uint64_t kIncludedFileSize = 64 * 1024;
constexpr uint64_t kMaxIconFileSize = 1024 * 1024; // its images are written out byte by byte

// Types that Win32 encodes in formats of their own; we have no use for them.
const char* const kUnsupportedTypes[]
    = {"ACCELERATORS", "BITMAP", "CURSOR", "DIALOG", "FONT", "HTML", "MENU", "MENUEX", "MESSAGETABLE", "RCDATA", "VERSIONINFO"};

constexpr uint32_t kDefaultDialogStyle = 0x80000000 | 0x00800000 | 0x00080000; // WS_POPUP | WS_BORDER | WS_SYSMENU
constexpr uint32_t kCaption = 0x00C00000; // WS_CAPTION
constexpr uint32_t kSetFont = 0x40; // DS_SETFONT
constexpr uint32_t kChildVisible = 0x40000000 | 0x10000000; // WS_CHILD | WS_VISIBLE
constexpr size_t kMaxControls = 1024; // the platform's dialog reader takes no more
constexpr uint16_t kIconType = 3; // RT_ICON
constexpr uint16_t kDialogType = 5; // RT_DIALOG
constexpr uint16_t kStringType = 6; // RT_STRING
constexpr uint16_t kIconGroupType = 14; // RT_GROUP_ICON

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::u16string upper(std::u16string text)
{
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z')
            c -= 0x20;
    return text;
}

std::u16string widen(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::string describe(const ResourceId& id)
{
    return id.name.empty() ? std::to_string(id.number) : Utf16ToUtf8(id.name);
}

class Compiler {
public:
    explicit Compiler(Lexer& lexer) : m_lex(lexer) { }

    CompiledScript run()
    {
        for (Token t = m_lex.peek(); t.kind != TokenKind::End; t = m_lex.peek())
            statement();
        for (Resource& r : EncodeStringTable(m_strings))
            m_out.resources.push_back(std::move(r));
        return std::move(m_out);
    }

private:
    void statement()
    {
        const Token start = m_lex.peek();
        if (m_lex.accept("STRINGTABLE"))
            return stringTable();
        if (m_lex.accept("LANGUAGE"))
            Lexer::fail(start, "LANGUAGE statements are not supported: a program's resources have one language each");
        const ResourceId name = resourceId("resource id");
        const Token kind = m_lex.peek();
        if (m_lex.accept("DIALOGEX")) {
            Resource resource;
            resource.type.number = kDialogType;
            resource.name = name;
            resource.bytes = dialog();
            return add(start, std::move(resource));
        }
        if (m_lex.accept("ICON"))
            return icon(start, name);
        if (kind.kind == TokenKind::Identifier)
            for (const char* unsupported : kUnsupportedTypes)
                if (upper(kind.text) == unsupported)
                    Lexer::fail(kind, std::string(unsupported) + " resources are not supported");
        const ResourceId type = resourceId("resource type");
        // Dialogs, string blocks and icons are encoded here; a file in their place would be misread.
        if (const char* statement = encodedBy(type))
            Lexer::fail(kind, "resources of type " + std::to_string(type.number) + " come from " + statement + ", not from a file");
        const Token file = m_lex.next();
        if (file.kind != TokenKind::String)
            Lexer::fail(file, "expected a file name in quotes, found " + spell(file));
        Resource resource{type, name, {}, {}, 0};
        fileContents(file, resource);
        add(start, std::move(resource));
    }

    static const char* encodedBy(const ResourceId& type)
    {
        if (!type.name.empty())
            return nullptr;
        switch (type.number) {
        case kDialogType: return "DIALOGEX";
        case kStringType: return "STRINGTABLE";
        case kIconType:
        case kIconGroupType: return "ICON";
        default: return nullptr;
        }
    }

    // id ICON "file.ico": each image becomes an RT_ICON numbered from 1 in the order of the
    // script, the group an RT_GROUP_ICON under the id.
    void icon(const Token& start, const ResourceId& name)
    {
        const Token file = m_lex.next();
        if (file.kind != TokenKind::String)
            Lexer::fail(file, "expected a file name in quotes, found " + spell(file));
        const std::string shown = "\"" + Utf16ToUtf8(file.string) + "\"";
        const IconFile read = ReadIconFile(iconFile(file, shown));
        if (!read.error.empty())
            Lexer::fail(file, shown + " " + read.error);
        if (m_nextIconId + read.images.size() > 0x10000)
            Lexer::fail(file, "too many icon images in one script");
        const uint16_t firstId = uint16_t(m_nextIconId);
        add(start, {{kIconGroupType, {}}, name, EncodeIconGroup(read.images, firstId), {}, 0});
        for (const IconImage& image : read.images)
            add(start, {{kIconType, {}}, {uint16_t(m_nextIconId++), {}}, image.bytes, {}, 0});
    }

    std::vector<uint8_t> iconFile(const Token& name, const std::string& shown)
    {
        namespace fs = std::filesystem;
        const std::string file = m_lex.locate(Utf16ToUtf8(name.string), name.file);
        std::ifstream in(file, std::ios::binary);
        if (file.empty() || !in)
            Lexer::fail(name, "cannot read " + shown);
        std::error_code error;
        if (fs::file_size(file, error) > kMaxIconFileSize && !error)
            Lexer::fail(name, shown + " is larger than " + std::to_string(kMaxIconFileSize / 1024) + " KB");
        m_out.dataFiles.push_back(fs::absolute(file).lexically_normal().string());
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
    }

    void add(const Token& at, Resource resource)
    {
        const std::string key = describe(resource.type) + " " + describe(resource.name);
        auto [it, fresh] = m_defined.emplace(key, at.file + ":" + std::to_string(at.line));
        if (!fresh)
            Lexer::fail(at, "resource " + key + " is already defined at " + it->second);
        m_out.resources.push_back(std::move(resource));
    }

    // A number, or a name (an identifier or a string, kept in upper case as Win32 does).
    ResourceId resourceId(const char* what)
    {
        const Token t = m_lex.peek();
        if (t.kind == TokenKind::Identifier && !BuiltinConstant(t.text)) {
            m_lex.next();
            return {0, upper(widen(t.text))};
        }
        if (t.kind == TokenKind::String) {
            const std::u16string name = terminated(what);
            if (name.empty())
                Lexer::fail(t, std::string(what) + " is empty");
            return {0, upper(name)};
        }
        return {number16(what), {}};
    }

    void stringTable()
    {
        block("STRINGTABLE", [&] {
            const Token at = m_lex.peek();
            const uint16_t id = number16("string id");
            m_lex.accept(",");
            std::u16string text = expectString("a string");
            while (m_lex.peek().kind == TokenKind::String)
                text += m_lex.next().string;
            if (text.size() > 0xFFFF)
                Lexer::fail(at, "string " + std::to_string(id) + " is too long");
            if (!m_strings.emplace(id, std::move(text)).second)
                Lexer::fail(at, "string " + std::to_string(id) + " is already defined");
        });
    }

    std::vector<uint8_t> dialog()
    {
        ScriptDialog d;
        d.x = coordinate();
        expect(",");
        d.y = coordinate();
        expect(",");
        d.cx = coordinate();
        expect(",");
        d.cy = coordinate();
        if (m_lex.accept(","))
            d.helpId = expression();

        std::optional<uint32_t> style;
        bool caption = false;
        for (;;) {
            const Token t = m_lex.peek();
            if (m_lex.accept("STYLE")) {
                style = expression();
            } else if (m_lex.accept("EXSTYLE")) {
                d.exStyle = expression();
            } else if (m_lex.accept("CAPTION")) {
                d.title = terminated("the caption");
                caption = true;
            } else if (m_lex.accept("CLASS")) {
                // The dialog reader takes the class by name only.
                d.windowClass = {terminated("the dialog's class", true), {}};
            } else if (m_lex.accept("FONT")) {
                d.font = font();
            } else if ((t.kind == TokenKind::Identifier && upper(t.text) == "BEGIN") || (t.kind == TokenKind::Punct && t.text == "{")) {
                break;
            } else {
                Lexer::fail(t, "unexpected " + spell(t) + " in a DIALOGEX header");
            }
        }
        // The header's style statements combine as the Win32 resource compiler combines them.
        d.style = style.value_or(kDefaultDialogStyle) | (caption ? kCaption : 0) | (d.font ? kSetFont : 0);
        if ((d.style & kSetFont) && !d.font)
            Lexer::fail(m_lex.peek(), "DS_SETFONT needs a FONT statement");

        block("DIALOGEX", [&] {
            const Token t = m_lex.peek();
            if (!m_lex.accept("CONTROL"))
                Lexer::fail(t, "unexpected " + spell(t) + " in a dialog (only CONTROL lines are understood)");
            d.controls.push_back(control());
            if (d.controls.size() > kMaxControls)
                Lexer::fail(t, "too many controls (at most " + std::to_string(kMaxControls) + ")");
        });
        return EncodeDialog(d);
    }

    DialogFont font()
    {
        DialogFont f;
        f.pointSize = number16("font size");
        expect(",");
        f.face = terminated("the font's face name");
        if (m_lex.accept(",")) {
            f.weight = number16("font weight");
            if (m_lex.accept(",")) {
                f.italic = static_cast<uint8_t>(expression() != 0);
                if (m_lex.accept(","))
                    f.charset = static_cast<uint8_t>(expression());
            }
        }
        return f;
    }

    // CONTROL text, id, class, style, x, y, cx, cy [, exstyle [, helpid]]
    DialogControl control()
    {
        DialogControl c;
        if (m_lex.peek().kind == TokenKind::String)
            c.title = {terminated("the control text", true), {}};
        else
            c.title = {{}, number16("control text")};
        expect(",");
        c.id = expression();
        expect(",");
        const Token at = m_lex.peek();
        c.windowClass = ControlClass(terminated("the control's class", true));
        if (!c.windowClass.ordinal && c.windowClass.text.empty())
            Lexer::fail(at, "the control's class is empty");
        expect(",");
        c.style = expression(kChildVisible);
        expect(",");
        c.x = coordinate();
        expect(",");
        c.y = coordinate();
        expect(",");
        c.cx = coordinate();
        expect(",");
        c.cy = coordinate();
        if (m_lex.accept(",")) {
            c.exStyle = expression();
            if (m_lex.accept(","))
                c.helpId = expression();
        }
        return c;
    }

    // BEGIN/{ item... END/}
    template<typename Item> void block(const char* what, Item item)
    {
        const Token open = m_lex.peek();
        if (!m_lex.accept("BEGIN") && !m_lex.accept("{"))
            Lexer::fail(open, std::string("expected BEGIN after ") + what + ", found " + spell(open));
        for (;;) {
            const Token t = m_lex.peek();
            if (t.kind == TokenKind::End)
                Lexer::fail(t, std::string("missing END of the ") + what + " begun at line " + std::to_string(open.line));
            if (m_lex.accept("END") || m_lex.accept("}"))
                return;
            item();
        }
    }

    // expr := term { '|' term }, where "NOT term" clears the term's bits; the value starts
    // from `initial`, the styles a control has unless NOT takes them away.
    uint32_t expression(uint32_t initial = 0)
    {
        uint32_t value = initial;
        do {
            if (m_lex.accept("NOT"))
                value &= ~sum();
            else
                value |= sum();
        } while (m_lex.accept("|"));
        return value;
    }

    uint32_t sum()
    {
        uint32_t value = unary();
        for (;;) {
            if (m_lex.accept("+"))
                value += unary();
            else if (m_lex.accept("-"))
                value -= unary();
            else
                return value;
        }
    }

    uint32_t unary()
    {
        const Token t = m_lex.next();
        if (t.kind == TokenKind::Number)
            return t.number;
        if (t.kind == TokenKind::Punct && t.text == "-")
            return 0u - unary();
        if (t.kind == TokenKind::Punct && t.text == "~")
            return ~unary();
        if (t.kind == TokenKind::Punct && t.text == "(") {
            const uint32_t value = expression();
            expect(")");
            return value;
        }
        if (t.kind == TokenKind::Identifier) {
            if (auto value = BuiltinConstant(t.text))
                return *value;
            Lexer::fail(t, "unknown name " + t.text);
        }
        Lexer::fail(t, "expected a number, found " + spell(t));
    }

    uint16_t number16(const char* what)
    {
        const Token at = m_lex.peek();
        const uint32_t value = expression();
        if (value > 0xFFFF)
            Lexer::fail(at, std::string(what) + " " + std::to_string(value) + " is out of range 0 to 65535");
        return static_cast<uint16_t>(value);
    }

    int16_t coordinate()
    {
        const Token at = m_lex.peek();
        const int32_t value = static_cast<int32_t>(expression());
        if (value < -32768 || value > 32767)
            Lexer::fail(at, "coordinate " + std::to_string(value) + " is out of range");
        return static_cast<int16_t>(value);
    }

    void expect(const std::string& punct)
    {
        const Token t = m_lex.peek();
        if (!m_lex.accept(punct))
            Lexer::fail(t, "expected '" + punct + "', found " + spell(t));
    }

    std::u16string expectString(const char* what)
    {
        const Token t = m_lex.next();
        if (t.kind != TokenKind::String)
            Lexer::fail(t, std::string("expected ") + what + " in quotes, found " + spell(t));
        return t.string;
    }

    // A text stored zero-terminated, where a zero would end it early. Where the reader
    // takes a name or an ordinal, a leading 0xFFFF would read as the ordinal's mark.
    std::u16string terminated(const char* what, bool nameOrOrdinal = false)
    {
        const Token t = m_lex.peek();
        std::u16string text = expectString(what);
        if (text.find(u'\0') != std::u16string::npos)
            Lexer::fail(t, std::string(what) + " holds a zero character");
        if (nameOrOrdinal && !text.empty() && text[0] == 0xFFFF)
            Lexer::fail(t, std::string(what) + " starts with 0xFFFF, the mark of an ordinal");
        return text;
    }

    // A binary resource's file: beside the script that names it, else in the include folders.
    // Files from kIncludedFileSize bytes on are included by the assembler instead of read.
    void fileContents(const Token& name, Resource& resource)
    {
        namespace fs = std::filesystem;
        const std::string file = m_lex.locate(Utf16ToUtf8(name.string), name.file);
        std::ifstream in(file, std::ios::binary);
        if (file.empty() || !in)
            Lexer::fail(name, "cannot read \"" + Utf16ToUtf8(name.string) + "\"");
        const std::string absolute = fs::absolute(file).lexically_normal().string();
        m_out.dataFiles.push_back(absolute);
        std::error_code error;
        const uint64_t size = fs::file_size(file, error);
        if (!error && size >= kIncludedFileSize) {
            if (size > 0xFFFFFFFFu)
                Lexer::fail(name, "\"" + Utf16ToUtf8(name.string) + "\" is larger than 4 GB");
            if (absolute.find_first_of("\"\\\n") != std::string::npos)
                Lexer::fail(name, "the path of \"" + Utf16ToUtf8(name.string) + "\" holds a quote, backslash or line break");
            resource.file = absolute;
            resource.fileSize = size;
            return;
        }
        resource.bytes.assign((std::istreambuf_iterator<char>(in)), {});
    }

    static std::string spell(const Token& t)
    {
        switch (t.kind) {
        case TokenKind::Identifier: return t.text;
        case TokenKind::Number: return std::to_string(t.number);
        case TokenKind::String: return "a string";
        case TokenKind::Punct: return "'" + t.text + "'";
        case TokenKind::End: break;
        }
        return "the end of the file";
    }

    Lexer& m_lex;
    CompiledScript m_out;
    std::map<uint16_t, std::u16string> m_strings;
    uint32_t m_nextIconId = 1;
    std::map<std::string, std::string> m_defined; // "type name" -> where
};

} // namespace

CompiledScript CompileScript(Lexer& lexer)
{
    return Compiler(lexer).run();
}
