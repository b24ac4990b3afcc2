// The registry access layer: every registry access of the programs goes through here.
//
// Each operation opens its key, acts and closes the key again, so nothing stays open
// between calls and a failed call leaves nothing behind. Failures are reported only as
// a false, zero or empty result; callers fall back to their defaults.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace registry {

// A root hive and a subkey path below it.
class key {
public:
    // "HKLM\...", "HKCU\..." or "HKCR\..." (any case) name a hive; a path without one of
    // those prefixes is a subkey of the current user's hive.
    explicit key(std::u16string_view path);
    key(const key& parent, std::u16string_view child);

    HKEY root() const { return m_root; }
    const std::u16string& subkey() const { return m_subkey; }
    key child(std::u16string_view name) const { return key(*this, name); }

    // Opens for reading or creates for writing; the caller closes the handle.
    LONG open(HKEY* handle) const;
    LONG create(HKEY* handle) const;

    // Deletes the key with every key below it.
    bool erase() const;

private:
    HKEY m_root;
    std::u16string m_subkey;
};

// Bytes of a binary value. An owning item holds its own copy and copies it along; a
// borrowing one only points at the caller's bytes.
class binary {
public:
    binary() = default;
    binary(const void* data, DWORD cb, bool owns);
    binary(const binary& other);
    binary(binary&& other) noexcept;
    binary& operator=(binary other) noexcept;
    ~binary();

    bool operator==(const binary& other) const;

    const BYTE* data() const { return m_pData; }
    DWORD size() const { return m_cbData; }
    bool owns() const { return m_fOwns; }

private:
    friend class value;
    static binary adopt(BYTE* data, DWORD cb);
    void swap(binary& other) noexcept;

    BYTE* m_pData = nullptr;
    DWORD m_cbData = 0;
    bool m_fOwns = false;
};

// A named value of a key; the empty name is the key's default value.
class value {
public:
    value(key owner, std::u16string_view name);

    DWORD size() const;
    DWORD type() const;

    std::u16string readString() const;
    bool writeString(std::u16string_view text) const;
    DWORD readNumber() const;
    bool writeNumber(DWORD number) const;
    binary readBinary() const;
    bool writeBinary(const binary& data) const;
    // Takes over another value's type and bytes; when the source cannot be read, this
    // value is deleted so that it never keeps stale contents.
    bool copyFrom(const value& source) const;
    bool erase() const;

    // A record behind a version word (major in the high half, minor in the low half).
    // Reading accepts the same major with an equal or newer minor: a longer record is cut
    // to cbRecord, a shorter one zero-filled. A rejected record leaves `record` untouched.
    bool writeVersioned(DWORD version, const void* record, DWORD cbRecord) const;
    bool readVersioned(DWORD version, void* record, DWORD cbRecord) const;

private:
    bool write(DWORD type, const void* data, DWORD cb) const;

    key m_key;
    std::u16string m_name;
};

} // namespace registry
