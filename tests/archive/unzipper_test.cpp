#include "unzipper.h"

#include "cetl/exception.h"
#include "test_env.h"
#include "zip_builder.h"

#include "resourcemodule.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>

namespace {

namespace fs = std::filesystem;

const std::string kNotZip = "the file supplied is not a .ZIP file";
const std::string kExtendsBeyond = "the .ZIP file specified contains an entry which extends beyond the supplied data";
const std::string kCannotDeflate = "unable to deflate .ZIP file content";
const std::string kSizesFollowData = "the .ZIP file specified contains an entry whose sizes follow its data";

// The error opening the archive (from memory, or from a file when `path` is given), or "".
std::string OpenError(const Bytes& archive, bool defer = false, const fs::path& path = {})
{
    try {
        if (path.empty())
            ZIPFILE zip(archive.data(), DWORD(archive.size()), defer);
        else
            ZIPFILE zip(path.c_str(), defer);
    } catch (const cetl::exception& e) {
        return e.what();
    }
    return "";
}

Bytes Contents(const ZIPENTRY* entry)
{
    return Bytes(entry->pbUncompressed, entry->pbUncompressed + entry->cbUncompressed);
}

void Spill(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The archive with the first header's 32-bit field at `at` (18: the compressed size) set.
Bytes With32(Bytes archive, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        archive[at + i] = uint8_t(value >> (8 * i));
    return archive;
}

TEST(Unzipper, ExtractsWhatTheZipProgramWroteAndRefusesItsPipedArchives)
{
    const fs::path root = TestRoot() / "tree";
    fs::create_directories(root / "pack" / "common");
    const std::map<std::string, Bytes> files = {{"pack/layout.txt", TextLikeData(3000)},
                                                {"pack/empty", {}},
                                                {"pack/common/text.txt", TextLikeData(300000, 7)},
                                                {"pack/common/noise.bin", RandomData(70000)}};
    for (const auto& [name, bytes] : files)
        Spill(root / name, bytes);
    for (const std::string level : {"-0", "-9"}) {
        const std::string command = "cd '" + root.string() + "' && zip -q -X " + level + " -r out" + level + ".zip pack";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        ZIPFILE zip((root / ("out" + level + ".zip")).c_str(), false);
        EXPECT_EQ(zip.Count(), 6u) << level;
        for (const char* dir : {"pack/", "pack/common/"})
            EXPECT_EQ(zip[istring(dir)]->cbUncompressed, 0u) << dir;
        for (const auto& [name, bytes] : files) {
            const ZIPENTRY* entry = zip[istring(name.c_str())];
            ASSERT_NE(entry, nullptr) << name;
            EXPECT_EQ(entry->c_str(), name);
            EXPECT_EQ(Contents(entry), bytes) << level << " " << name;
        }
        EXPECT_EQ(zip[istring("pack/common/text.txt")]->wMethod, level == "-0" ? 0 : 8);
    }
    const std::string piped = "cd '" + root.string() + "' && zip -q -X -r - pack | cat > piped.zip";
    ASSERT_EQ(std::system(piped.c_str()), 0);
    EXPECT_EQ(OpenError({}, false, root / "piped.zip"), kSizesFollowData);
}

TEST(Unzipper, DamagedOrForeignDataIsRefusedWithItsReason)
{
    const Bytes one = BuildZip({StoredItem("a", {'1'})}, true);
    Bytes prefixed = BuildZip({StoredItem("a", {'1'})});
    prefixed.insert(prefixed.begin(), 'X');
    Bytes oneMore = one, trailing = one;
    oneMore.push_back(0);
    trailing.insert(trailing.end(), 40, 0xEE);
    ZipItem odd = StoredItem("images/odd.bin", {'1'});
    odd.method = 12;
    ZipItem beyond = DeflatedItem("beyond", TextLikeData(5000));
    beyond.cbUncompressed = 10; // more than the slack short
    // A streaming writer leaves the sizes to the descriptor after the data.
    ZipItem streamed = StoredItem("streamed", TextLikeData(500));
    streamed.flags = 8;
    streamed.descriptor = Bytes(12, 0);
    const Bytes unsized = With32(BuildZip({streamed, StoredItem("next", {'1'})}), 18, 0);
    const struct {
        const char* name;
        Bytes archive;
        std::string error;
    } cases[] = {
        {"nothing", {}, kNotZip},
        {"three bytes", {'P', 'K', 3}, kNotZip},
        {"a program", {'M', 'Z', 0, 0, 0, 0, 0, 0}, kNotZip},
        {"a byte before the first header", prefixed, kNotZip},
        {"an entry ending at the last byte", BuildZip({StoredItem("a", {'1'}), StoredItem("b", {'2'})}, true), kExtendsBeyond},
        {"an entry ending one byte before", oneMore, ""},
        {"trailing data of any kind", trailing, ""},
        {"a size past the data", With32(BuildZip({StoredItem("a", {'1', '2'})}), 18, 100), kExtendsBeyond},
        {"a size near 2^32", With32(BuildZip({StoredItem("a", {'1', '2'})}), 18, 0xFFFFFFF0), kExtendsBeyond},
        {"a descriptor entry whose header leaves its compressed size at zero", unsized, kSizesFollowData},
        {"an unknown method", BuildZip({StoredItem("fine", {}), odd}),
         "the entry images/odd.bin in the .ZIP file uses an unsupported compression method"},
        {"a deflated entry overrunning its size", BuildZip({beyond}), kCannotDeflate},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpenError(c.archive), c.error) << c.name;

    const Bytes archive
        = BuildZip({StoredItem("one", TextLikeData(400)), DeflatedItem("two", TextLikeData(400)), StoredItem("three/", {})});
    for (size_t cb = 0; cb < archive.size(); cb += 5) {
        const std::string error = OpenError(Bytes(archive.begin(), archive.begin() + cb));
        EXPECT_TRUE(error == "" || error == kNotZip || error == kExtendsBeyond) << cb << ": " << error;
    }
    for (size_t cb : {4, 17, 30}) {
        const Bytes header(archive.begin(), archive.begin() + cb);
        EXPECT_EQ(ZIPFILE(header.data(), DWORD(header.size()), false).Count(), 0u) << cb;
    }

    Spill(TestRoot() / "empty.zip", {});
    Spill(TestRoot() / "text.zip", TextLikeData(100));
    EXPECT_EQ(OpenError({}, false, TestRoot() / "nowhere.zip"), "the .ZIP file specified does not exist");
    EXPECT_EQ(OpenError({}, false, TestRoot() / "empty.zip"), "the .ZIP file specified is empty");
    EXPECT_EQ(OpenError({}, false, TestRoot() / "text.zip"), kNotZip);
}

TEST(Unzipper, EntriesAreFoundByWholeNameWithoutRegardToCase)
{
    const Bytes data = TextLikeData(2000);
    ZipItem described = DeflatedItem("described", data);
    described.flags = 8;
    described.descriptor = Bytes(12, 7);
    ZipItem flagged = StoredItem("flagged", data);
    flagged.flags = 4; // bit 2 alone means nothing to the reader
    ZipItem shortStored = StoredItem("short", {'1', '2', '3'});
    shortStored.cbUncompressed = 50;
    ZipItem within = DeflatedItem("within", data);
    within.cbUncompressed = 1990; // short, but within the slack
    const std::string n300(300, 'x'), n1000 = std::string(999, 'y') + "z";
    const Bytes archive
        = BuildZip({StoredItem("layout.txt", {'a'}), StoredItem("Twin.txt", {'1'}), StoredItem("TWIN.TXT", {'2'}), described, flagged,
                    shortStored, within, StoredItem(n300, {'3'}), StoredItem(n1000, {'1'}), StoredItem("after", {'!'})});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), false);
    EXPECT_EQ(zip.Count(), 9u);
    ASSERT_NE(zip[istring("Layout.TXT")], nullptr);
    EXPECT_EQ(zip[istring("Layout.TXT")]->c_str(), std::string("layout.txt"));
    EXPECT_EQ(Contents(zip[istring("twin.txt")]), Bytes{'2'}) << "the later twin wins";
    EXPECT_EQ(zip[istring("missing")], nullptr);
    for (const char* name : {"described", "flagged", "within"})
        EXPECT_EQ(Contents(zip[istring(name)]), data) << name;
    EXPECT_EQ(Contents(zip[istring("short")]), (Bytes{'1', '2', '3'})) << "stored: the smaller of the two sizes";
    EXPECT_EQ(zip[istring("short")]->pbUncompressed, zip[istring("short")]->pbCompressed);
    ASSERT_NE(zip[istring(n300.c_str())], nullptr);
    EXPECT_EQ(Contents(zip[istring(n1000.c_str())]), Bytes{'1'});
    EXPECT_EQ(Contents(zip[istring("after")]), Bytes{'!'});
}

TEST(Unzipper, DosTimesAreClamped)
{
    auto shown = [](int year, int month, int day, int hour, int minute, int second) {
        SYSTEMTIME st;
        DosTimeToSystemTime(WORD((year << 9) | (month << 5) | day), WORD((hour << 11) | (minute << 5) | second), &st);
        return std::vector<int>{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek, st.wMilliseconds};
    };
    EXPECT_EQ(shown(45, 15, 31, 31, 63, 31), (std::vector<int>{2025, 12, 31, 23, 59, 59, 0, 0}));
    EXPECT_EQ(shown(4, 7, 9, 13, 5, 10), (std::vector<int>{1984, 7, 9, 13, 5, 20, 0, 0}));
}

TEST(Unzipper, DeferredEntriesDecompressOnRequestAndCopiesOwnTheirData)
{
    const Bytes data = TextLikeData(4000);
    ZipItem broken = DeflatedItem("broken", data);
    broken.data.resize(broken.data.size() / 2);
    const Bytes archive = BuildZip({DeflatedItem("packed", data), StoredItem("plain", data), broken});
    EXPECT_EQ(OpenError(archive), "unzip read past end of stream");
    ZIPFILE zip(archive.data(), DWORD(archive.size()), true);
    ZIPENTRY* packed = zip[istring("packed")];
    EXPECT_EQ(packed->pbUncompressed, nullptr);
    packed->Decompress();
    EXPECT_EQ(Contents(packed), data);

    ZIPENTRY copy(*packed);
    EXPECT_NE(copy.pbUncompressed, packed->pbUncompressed);
    EXPECT_EQ(Contents(&copy), data);
    EXPECT_EQ(copy.c_str(), std::string("packed"));
    packed->ReleaseData();
    EXPECT_EQ(packed->pbUncompressed, nullptr);
    EXPECT_EQ(packed->cbUncompressed, 0u);

    ZIPENTRY* plain = zip[istring("plain")];
    plain->Decompress();
    ZIPENTRY assigned;
    assigned = *plain;
    EXPECT_EQ(assigned.pbUncompressed, plain->pbUncompressed);
    plain->ReleaseData(); // gives back nothing it does not own
    EXPECT_EQ(Contents(plain), data);
    assigned = copy; // takes a block of its own
    EXPECT_NE(assigned.pbUncompressed, copy.pbUncompressed);
    EXPECT_EQ(Contents(&assigned), data);

    ZIPENTRY* bad = zip[istring("broken")];
    EXPECT_THROW(bad->Decompress(), cetl::exception);
    EXPECT_EQ(bad->pbUncompressed, nullptr);
}

TEST(Unzipper, ResourceArchivesAreReadInPlace)
{
    static const Bytes data = TextLikeData(2000);
    static const Bytes archive = BuildZip({StoredItem("plain", data), DeflatedItem("packed", data)});
    static const ResourceEntry resource{u"ZIP", MAKEINTRESOURCEW(113), archive.data(), DWORD(archive.size())};
    ASSERT_TRUE(RegisterResources(&resource, 1));

    ZIPFILE zip(nullptr, MAKEINTRESOURCE(113), "ZIP", false);
    EXPECT_EQ(zip.pbData, nullptr);
    EXPECT_EQ(Contents(zip[istring("packed")]), data);
    const BYTE* plain = zip[istring("plain")]->pbUncompressed;
    EXPECT_TRUE(plain >= archive.data() && plain < archive.data() + archive.size());
    try {
        ZIPFILE missing(nullptr, MAKEINTRESOURCE(114), "ZIP", false);
        ADD_FAILURE() << "opened";
    } catch (const cetl::exception& e) {
        EXPECT_STREQ(e.what(), "the .ZIP file resource specified does not exist");
    }
}

} // namespace
