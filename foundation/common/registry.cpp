#include "registry.h"

#include "memmgr.h"
#include "tl_string.h"

#include <cstring>
#include <limits>
#include <utility>

namespace registry {

namespace {

struct HIVE {
    std::u16string_view name;
    HKEY root;
};

const HIVE g_hives[] = {
    {u"HKLM", HKEY_LOCAL_MACHINE},
    {u"HKCU", HKEY_CURRENT_USER},
    {u"HKCR", HKEY_CLASSES_ROOT},
};

// Closes the handle on every way out of an operation.
class OPENKEY {
public:
    OPENKEY() = default;
    OPENKEY(const OPENKEY&) = delete;
    OPENKEY& operator=(const OPENKEY&) = delete;
    ~OPENKEY()
    {
        if (m_handle)
            RegCloseKey(m_handle);
    }
    HKEY* out() { return &m_handle; }
    HKEY get() const { return m_handle; }

private:
    HKEY m_handle = nullptr;
};

} // namespace

key::key(std::u16string_view path) : m_root(HKEY_CURRENT_USER)
{
    for (const HIVE& hive : g_hives) {
        if (path.size() >= 5 && path[4] == u'\\' && EqualsIgnoringAsciiCase(path.substr(0, 4), hive.name)) {
            m_root = hive.root;
            m_subkey = path.substr(5);
            return;
        }
        if (EqualsIgnoringAsciiCase(path, hive.name)) {
            m_root = hive.root;
            return;
        }
    }
    m_subkey = path;
}

key::key(const key& parent, std::u16string_view child) : m_root(parent.m_root), m_subkey(parent.m_subkey)
{
    if (!m_subkey.empty() && !child.empty())
        m_subkey += u'\\';
    m_subkey += child;
}

LONG key::open(HKEY* handle) const
{
    return RegOpenKeyExW(m_root, m_subkey.c_str(), 0, GENERIC_ALL, handle);
}

LONG key::create(HKEY* handle) const
{
    DWORD disposition = 0;
    return RegCreateKeyExW(m_root, m_subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, GENERIC_ALL, nullptr, handle, &disposition);
}

bool key::erase() const
{
    for (;;) {
        WCHAR name[256];
        DWORD cchName = sizeof name / sizeof name[0];
        {
            OPENKEY k;
            if (open(k.out()) != ERROR_SUCCESS)
                return false;
            if (RegEnumKeyExW(k.get(), 0, name, &cchName, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
        }
        // A subkey that will not go would come back first forever: give up instead.
        if (!child(std::u16string_view(name, cchName)).erase())
            return false;
    }
    return RegDeleteKeyW(m_root, m_subkey.c_str()) == ERROR_SUCCESS;
}

binary::binary(const void* data, DWORD cb, bool owns) : m_cbData(cb), m_fOwns(owns)
{
    if (!owns) {
        m_pData = static_cast<BYTE*>(const_cast<void*>(data));
    } else if (cb > 0) {
        m_pData = static_cast<BYTE*>(MEM_ALLOC(cb, "cbData"));
        // Out of memory: an empty item rather than a size with no bytes behind it.
        if (!m_pData)
            m_cbData = 0;
        else
            std::memcpy(m_pData, data, cb);
    }
}

binary::binary(const binary& other) : m_pData(other.m_pData), m_cbData(other.m_cbData), m_fOwns(other.m_fOwns)
{
    if (m_fOwns && m_cbData > 0) {
        m_pData = static_cast<BYTE*>(MEM_ALLOC(m_cbData, "_cbData"));
        if (!m_pData)
            m_cbData = 0;
        else
            std::memcpy(m_pData, other.m_pData, m_cbData);
    }
}

binary::binary(binary&& other) noexcept
{
    swap(other);
}

binary& binary::operator=(binary other) noexcept
{
    swap(other);
    return *this;
}

binary::~binary()
{
    if (m_fOwns && m_pData)
        MEM_FREE(m_pData);
}

bool binary::operator==(const binary& other) const
{
    if (m_fOwns != other.m_fOwns || m_cbData != other.m_cbData)
        return false;
    if (!m_fOwns)
        return m_pData == other.m_pData;
    return m_cbData == 0 || std::memcmp(m_pData, other.m_pData, m_cbData) == 0;
}

binary binary::adopt(BYTE* data, DWORD cb)
{
    binary item;
    item.m_pData = data;
    item.m_cbData = cb;
    item.m_fOwns = true;
    return item;
}

void binary::swap(binary& other) noexcept
{
    std::swap(m_pData, other.m_pData);
    std::swap(m_cbData, other.m_cbData);
    std::swap(m_fOwns, other.m_fOwns);
}

value::value(key owner, std::u16string_view name) : m_key(std::move(owner)), m_name(name) { }

DWORD value::size() const
{
    OPENKEY k;
    DWORD cb = 0;
    if (m_key.open(k.out()) != ERROR_SUCCESS || RegQueryValueExW(k.get(), m_name.c_str(), nullptr, nullptr, nullptr, &cb) != ERROR_SUCCESS)
        return 0;
    return cb;
}

DWORD value::type() const
{
    OPENKEY k;
    DWORD type = 0;
    if (m_key.open(k.out()) != ERROR_SUCCESS
        || RegQueryValueExW(k.get(), m_name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return type;
}

std::u16string value::readString() const
{
    const DWORD type = this->type();
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return {};
    const binary bytes = readBinary();
    // Stored text need not be terminated, nor even a whole number of units.
    std::u16string text(bytes.size() / sizeof(WCHAR), u'\0');
    if (!text.empty())
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(WCHAR));
    const size_t end = text.find(u'\0');
    if (end != std::u16string::npos)
        text.resize(end);
    return text;
}

bool value::writeString(std::u16string_view text) const
{
    std::u16string terminated(text);
    return write(REG_SZ, terminated.c_str(), static_cast<DWORD>((terminated.size() + 1) * sizeof(WCHAR)));
}

DWORD value::readNumber() const
{
    OPENKEY k;
    DWORD number = 0;
    DWORD cb = sizeof number;
    if (m_key.open(k.out()) != ERROR_SUCCESS
        || RegQueryValueExW(k.get(), m_name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &cb) != ERROR_SUCCESS
        || cb != sizeof number)
        return 0;
    return number;
}

bool value::writeNumber(DWORD number) const
{
    return write(REG_DWORD, &number, sizeof number);
}

binary value::readBinary() const
{
    OPENKEY k;
    if (m_key.open(k.out()) != ERROR_SUCCESS)
        return {};
    DWORD cb = 0;
    if (RegQueryValueExW(k.get(), m_name.c_str(), nullptr, nullptr, nullptr, &cb) != ERROR_SUCCESS || cb == 0)
        return {};
    BYTE* bytes = static_cast<BYTE*>(MEM_ALLOC(cb, "rd._cbData"));
    if (!bytes)
        return {};
    DWORD cbRead = cb;
    if (RegQueryValueExW(k.get(), m_name.c_str(), nullptr, nullptr, bytes, &cbRead) != ERROR_SUCCESS || cbRead > cb) {
        MEM_FREE(bytes);
        return {};
    }
    return binary::adopt(bytes, cbRead);
}

bool value::writeBinary(const binary& data) const
{
    return write(REG_BINARY, data.data(), data.size());
}

bool value::copyFrom(const value& source) const
{
    const DWORD type = source.type();
    const binary bytes = source.readBinary();
    if (type == 0) {
        erase();
        return false;
    }
    return write(type, bytes.data(), bytes.size());
}

bool value::erase() const
{
    OPENKEY k;
    return m_key.open(k.out()) == ERROR_SUCCESS && RegDeleteValueW(k.get(), m_name.c_str()) == ERROR_SUCCESS;
}

bool value::writeVersioned(DWORD version, const void* record, DWORD cbRecord) const
{
    if (cbRecord > std::numeric_limits<DWORD>::max() - sizeof version)
        return false;
    const DWORD cbFull = sizeof version + cbRecord;
    BYTE* full = static_cast<BYTE*>(MEM_ALLOC(cbFull, "cbFull"));
    if (!full)
        return false;
    // The version word is little-endian on every target we build for, as is the record.
    std::memcpy(full, &version, sizeof version);
    if (cbRecord > 0)
        std::memcpy(full + sizeof version, record, cbRecord);
    const bool written = write(REG_BINARY, full, cbFull);
    MEM_FREE(full);
    return written;
}

bool value::readVersioned(DWORD version, void* record, DWORD cbRecord) const
{
    const binary stored = readBinary();
    DWORD storedVersion = 0;
    if (stored.size() < sizeof storedVersion)
        return false;
    std::memcpy(&storedVersion, stored.data(), sizeof storedVersion);
    if ((storedVersion >> 16) != (version >> 16) || (storedVersion & 0xFFFF) < (version & 0xFFFF))
        return false;
    const DWORD cbStored = stored.size() - sizeof storedVersion;
    const DWORD cbCopy = cbStored < cbRecord ? cbStored : cbRecord;
    if (cbCopy > 0)
        std::memcpy(record, stored.data() + sizeof storedVersion, cbCopy);
    std::memset(static_cast<BYTE*>(record) + cbCopy, 0, cbRecord - cbCopy);
    return true;
}

bool value::write(DWORD type, const void* data, DWORD cb) const
{
    OPENKEY k;
    return m_key.create(k.out()) == ERROR_SUCCESS
           && RegSetValueExW(k.get(), m_name.c_str(), 0, type, static_cast<const BYTE*>(data), cb) == ERROR_SUCCESS;
}

} // namespace registry
