#include "unzipper.h"

#include "cetl/exception.h"
#include "deflate.h"
#include "little_endian.h"
#include "memmgr.h"
#include "sformat.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kNotExist = "the .ZIP file specified does not exist";
const char* const kEmpty = "the .ZIP file specified is empty";
const char* const kTooLarge = "the .ZIP file specified is too large";
const char* const kCouldNotRead = "the .ZIP file specified could not be read";
const char* const kNoResource = "the .ZIP file resource specified does not exist";
const char* const kNotZip = "the file supplied is not a .ZIP file";
const char* const kExtendsBeyond = "the .ZIP file specified contains an entry which extends beyond the supplied data";
const char* const kSizesFollowData = "the .ZIP file specified contains an entry whose sizes follow its data";

constexpr DWORD kLocalHeaderSignature = 0x04034B50;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kDescriptorSize = 12;
constexpr WORD kFlagDescriptor = 8;
constexpr WORD kMethodStored = 0;
constexpr WORD kMethodDeflated = 8;
constexpr DWORD kDeflateSlack = 1024;

struct LOCALHEADER {
    DWORD signature;
    WORD flags;
    WORD method;
    WORD time;
    WORD date;
    DWORD crc;
    DWORD cbCompressed;
    DWORD cbUncompressed;
    WORD cbName;
    WORD cbExtra;
};

LOCALHEADER ReadLocalHeader(const BYTE* pb)
{
    return {LoadLe32(pb),      LoadLe16(pb + 6),  LoadLe16(pb + 8),  LoadLe16(pb + 10), LoadLe16(pb + 12),
            LoadLe32(pb + 14), LoadLe32(pb + 18), LoadLe32(pb + 22), LoadLe16(pb + 26), LoadLe16(pb + 28)};
}

[[noreturn]] void ThrowUnsupportedMethod(const string& name)
{
    throw cetl::exception(sformat("the entry %s in the .ZIP file uses an unsupported compression method", name.c_str()).View());
}

BYTE* AllocateCopy(const BYTE* pb, DWORD cb, const char* label)
{
    auto* pbCopy = static_cast<BYTE*>(MemAlloc(cb, label, __FILE__, __LINE__));
    if (!pbCopy)
        throw cetl::exception(kTooLarge);
    if (cb)
        std::memcpy(pbCopy, pb, cb);
    return pbCopy;
}

} // namespace

void DosTimeToSystemTime(WORD date, WORD time, SYSTEMTIME* pst)
{
    pst->wYear = WORD((date >> 9) + 1980);
    pst->wMonth = std::min<WORD>((date >> 5) & 15, 12);
    pst->wDayOfWeek = 0;
    pst->wDay = WORD(date & 31);
    pst->wHour = std::min<WORD>(time >> 11, 23);
    pst->wMinute = std::min<WORD>((time >> 5) & 63, 59);
    pst->wSecond = std::min<WORD>((time & 31) * 2, 59);
    pst->wMilliseconds = 0;
}

ZIPENTRY::ZIPENTRY(const ZIPENTRY& other) :
    string(other), cbCompressed(other.cbCompressed), cbUncompressed(other.cbUncompressed), pbCompressed(other.pbCompressed),
    pbUncompressed(other.pbUncompressed), stModified(other.stModified), wMethod(other.wMethod)
{
    if (pbUncompressed && pbUncompressed != pbCompressed)
        pbUncompressed = AllocateCopy(other.pbUncompressed, cbUncompressed, "cbUncompressed");
}

ZIPENTRY& ZIPENTRY::operator=(const ZIPENTRY& other)
{
    if (this == &other)
        return *this;
    ReleaseData();
    string::operator=(other);
    cbCompressed = other.cbCompressed;
    cbUncompressed = other.cbUncompressed;
    pbCompressed = other.pbCompressed;
    stModified = other.stModified;
    wMethod = other.wMethod;
    pbUncompressed = other.pbUncompressed && other.pbUncompressed != other.pbCompressed
                         ? AllocateCopy(other.pbUncompressed, cbUncompressed, "cbUncompressed")
                         : other.pbUncompressed;
    return *this;
}

ZIPENTRY::~ZIPENTRY()
{
    ReleaseData();
}

void ZIPENTRY::ReleaseData()
{
    if (!pbUncompressed || pbUncompressed == pbCompressed)
        return;
    MEM_FREE(pbUncompressed);
    pbUncompressed = nullptr;
    cbUncompressed = 0;
}

void ZIPENTRY::Decompress()
{
    if (!pbCompressed || pbUncompressed)
        return;
    switch (wMethod) {
    case kMethodStored:
        cbUncompressed = std::min(cbUncompressed, cbCompressed);
        pbUncompressed = pbCompressed;
        break;
    case kMethodDeflated: {
        const size_t cbCapacity = size_t(cbUncompressed) + kDeflateSlack;
        auto* pbOut = static_cast<BYTE*>(MEM_ALLOC(cbCapacity, "cbUncompressed + 1024"));
        if (!pbOut)
            throw cetl::exception(kTooLarge);
        try {
            Inflate(pbOut, DWORD(std::min<size_t>(cbCapacity, 0xFFFFFFFF)), &cbUncompressed, pbCompressed, cbCompressed);
        } catch (...) {
            // A half-decoded entry must not pass for a decoded one later.
            MEM_FREE(pbOut);
            throw;
        }
        pbUncompressed = pbOut;
        break;
    }
    default: ThrowUnsupportedMethod(*this);
    }
}

bool ZIPFILE::IsZipData(const void* pvData, DWORD cbData)
{
    return pvData && cbData >= 4 && LoadLe32(static_cast<const BYTE*>(pvData)) == kLocalHeaderSignature;
}

ZIPFILE::ZIPFILE(LPCTSTR pszPath, bool defer)
{
    try {
        const DWORD cbData = LoadFile(pszPath);
        ParseArchive(pbData, cbData, defer);
    } catch (...) {
        Empty();
        throw;
    }
}

ZIPFILE::ZIPFILE(HMODULE hModule, LPCTSTR pszName, LPCTSTR pszType, bool defer)
{
    try {
        HRSRC hResource = FindResource(hModule, pszName, pszType);
        HGLOBAL hData = hResource ? LoadResource(hModule, hResource) : nullptr;
        if (!hData)
            throw cetl::exception(kNoResource);
        ParseArchive(static_cast<BYTE*>(LockResource(hData)), SizeofResource(hModule, hResource), defer);
    } catch (...) {
        Empty();
        throw;
    }
}

ZIPFILE::ZIPFILE(const void* pvData, DWORD cbData, bool defer)
{
    try {
        if (pvData && cbData)
            pbData = AllocateCopy(static_cast<const BYTE*>(pvData), cbData, "cbData");
        ParseArchive(pbData, cbData, defer);
    } catch (...) {
        Empty();
        throw;
    }
}

DWORD ZIPFILE::LoadFile(LPCTSTR pszPath)
{
    HANDLE hFile = CreateFileW(string(pszPath).Wide(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        throw cetl::exception(kNotExist);
    DWORD cbData = 0;
    try {
        DWORD cbHigh = 0;
        SetLastError(NO_ERROR);
        cbData = GetFileSize(hFile, &cbHigh);
        if (cbData == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
            throw cetl::exception(kCouldNotRead);
        if (cbHigh)
            throw cetl::exception(kTooLarge);
        if (cbData == 0)
            throw cetl::exception(kEmpty);
        pbData = static_cast<BYTE*>(MEM_ALLOC(cbData, "cbData"));
        if (!pbData)
            throw cetl::exception(kTooLarge);
        // A short read would leave part of the block unset: it fails like any other.
        DWORD cbRead = 0;
        if (!ReadFile(hFile, pbData, cbData, &cbRead, nullptr) || cbRead != cbData)
            throw cetl::exception(kCouldNotRead);
    } catch (...) {
        CloseHandle(hFile);
        throw;
    }
    CloseHandle(hFile);
    return cbData;
}

ZIPFILE::~ZIPFILE()
{
    Empty();
}

void ZIPFILE::Empty()
{
    for (auto& entry : *this)
        MEM_DELETE(entry.value);
    RemoveAll();
    MEM_FREE(pbData);
    pbData = nullptr;
}

void ZIPFILE::ParseArchive(BYTE* pb, DWORD cb, bool defer)
{
    if (!IsZipData(pb, cb))
        throw cetl::exception(kNotZip);
    BYTE* p = pb;
    BYTE* const end = pb + cb;
    while (size_t(end - p) > kLocalHeaderSize) {
        const LOCALHEADER header = ReadLocalHeader(p);
        p += kLocalHeaderSize;
        if (header.signature != kLocalHeaderSignature)
            break; // the central directory, or trailing data of any kind
        const bool fDescriptor = header.flags & kFlagDescriptor;
        // A streaming writer leaves the compressed size (and the CRC) to the descriptor after
        // the data; without it nothing says where the data ends.
        if (fDescriptor && header.cbCompressed == 0)
            throw cetl::exception(kSizesFollowData);
        const size_t cbSpan = size_t(header.cbCompressed) + header.cbName + header.cbExtra + (fDescriptor ? kDescriptorSize : 0);
        if (cbSpan >= size_t(end - p))
            throw cetl::exception(kExtendsBeyond);

        const char* pchName = reinterpret_cast<const char*>(p);
        ZIPENTRY* pEntry = MEM_NEW(ZIPENTRY);
        try {
            static_cast<string&>(*pEntry) = string(std::string_view(pchName, strnlen(pchName, header.cbName)));
            pEntry->cbCompressed = header.cbCompressed;
            pEntry->cbUncompressed = header.cbUncompressed;
            DosTimeToSystemTime(header.date, header.time, &pEntry->stModified);
            p += header.cbName + header.cbExtra;
            pEntry->pbCompressed = p;
            pEntry->wMethod = header.method;
            p += header.cbCompressed + (fDescriptor ? kDescriptorSize : 0);

            // The later of two entries with the same name is the one found.
            ZIPENTRY*& pSlot = (*this)[istring(*pEntry)];
            MEM_DELETE(pSlot);
            pSlot = pEntry;
        } catch (...) {
            MEM_DELETE(pEntry);
            throw;
        }
    }
    if (!defer)
        DecompressAll();
}

void ZIPFILE::DecompressAll()
{
    for (auto& entry : *this)
        entry.value->Decompress();
}
