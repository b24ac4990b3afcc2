#include "unzipper.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "cetl/exception.h"
#include "resourcemodule.h"
#include "test_env.h"
#include "zip_builder.h"

namespace {

namespace fs = std::filesystem;

const char* const kNotZip = "the file supplied is not a .ZIP file";
const char* const kExtendsBeyond = "the .ZIP file specified contains an entry which extends beyond the supplied data";
const char* const kSizesFollowData = "the .ZIP file specified contains an entry whose sizes follow its data";
const char* const kCannotDeflate = "unable to deflate .ZIP file content";

std::string OpenError(const Bytes& archive, bool defer = false)
{
    try {
        ZIPFILE zip(archive.data(), DWORD(archive.size()), defer);
    } catch (const cetl::exception& e) {
        return e.what();
    }
    return "";
}

Bytes Contents(const ZIPENTRY* entry)
{
    return Bytes(entry->pbUncompressed, entry->pbUncompressed + entry->cbUncompressed);
}

Bytes SlurpBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Spill(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A folder for the real zip program: a directory, a subdirectory, an empty file, text and noise.
fs::path MakeTree()
{
    const fs::path root = TestRoot() / "tree";
    fs::remove_all(root);
    fs::create_directories(root / "pack" / "common");
    Spill(root / "pack" / "layout.txt", TextLikeData(3000));
    Spill(root / "pack" / "empty", {});
    Spill(root / "pack" / "common" / "text.txt", TextLikeData(300000, 7));
    Spill(root / "pack" / "common" / "noise.bin", RandomData(70000));
    return root;
}

void RunZip(const fs::path& root, const std::string& args)
{
    const std::string command = "cd '" + root.string() + "' && zip -q -X " + args;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(Unzipper, ExtractsWhatTheZipProgramWroteAtLevelsZeroAndNine)
{
    const fs::path root = MakeTree();
    for (const char* level : {"-0", "-9"}) {
        RunZip(root, std::string(level) + " -r out.zip pack");
        ZIPFILE zip((root / "out.zip").c_str(), false);
        EXPECT_EQ(zip.Count(), 6u) << level;
        for (const char* dir : {"pack/", "pack/common/"}) {
            ASSERT_NE(zip[istring(dir)], nullptr) << dir;
            EXPECT_EQ(zip[istring(dir)]->cbUncompressed, 0u) << dir;
        }
        for (const char* file : {"pack/layout.txt", "pack/empty", "pack/common/text.txt", "pack/common/noise.bin"}) {
            const ZIPENTRY* entry = zip[istring(file)];
            ASSERT_NE(entry, nullptr) << file;
            EXPECT_EQ(entry->c_str(), std::string(file));
            EXPECT_EQ(Contents(entry), SlurpBytes(root / file)) << level << " " << file;
        }
        EXPECT_EQ(zip[istring("pack/common/text.txt")]->wMethod, std::string(level) == "-0" ? 0 : 8);
        fs::remove(root / "out.zip");
    }
}

TEST(Unzipper, RefusesWhatTheZipProgramWroteToAPipe)
{
    const fs::path root = MakeTree();
    RunZip(root, "-r - pack | cat > piped.zip");
    try {
        ZIPFILE zip((root / "piped.zip").c_str(), false);
        FAIL() << "opened";
    } catch (const cetl::exception& e) {
        EXPECT_STREQ(e.what(), kSizesFollowData);
    }
}

TEST(Unzipper, DescriptorAfterAHeaderWithSizesIsSkipped)
{
    const Bytes data = TextLikeData(2000);
    ZipItem first = DeflatedItem("first.txt", data);
    first.flags = 8;
    first.descriptor = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ZipItem second = StoredItem("second.txt", data);
    second.flags = 4; // bit 2 alone means nothing to the reader
    const Bytes archive = BuildZip({first, second});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), false);
    ASSERT_EQ(zip.Count(), 2u);
    EXPECT_EQ(Contents(zip[istring("first.txt")]), data);
    EXPECT_EQ(Contents(zip[istring("second.txt")]), data);
}

TEST(Unzipper, WalkEndsAtTheCentralDirectory)
{
    const Bytes archive = BuildZip({StoredItem("a", {'1'}), StoredItem("b", {'2'}), StoredItem("c", {'3'})});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), false);
    EXPECT_EQ(zip.Count(), 3u);
    Bytes trailing = BuildZip({StoredItem("a", {'1'})}, true);
    trailing.insert(trailing.end(), 40, 0xEE);
    EXPECT_EQ(OpenError(trailing), "");
}

TEST(Unzipper, EntryEndingAtTheLastByteIsRefused)
{
    EXPECT_EQ(OpenError(BuildZip({StoredItem("a", {'1'}), StoredItem("b", {'2'})}, true)), kExtendsBeyond);
    Bytes oneMore = BuildZip({StoredItem("a", {'1'})}, true);
    oneMore.push_back(0);
    EXPECT_EQ(OpenError(oneMore), "");
}

TEST(Unzipper, SizesThatReachPastTheDataAreRefused)
{
    for (uint32_t cb : {uint32_t(100), uint32_t(0xFFFFFFF0)}) {
        ZipItem item = StoredItem("a", {'1', '2'});
        Bytes archive = BuildZip({item});
        archive[18] = uint8_t(cb);
        archive[19] = uint8_t(cb >> 8);
        archive[20] = uint8_t(cb >> 16);
        archive[21] = uint8_t(cb >> 24);
        EXPECT_EQ(OpenError(archive), kExtendsBeyond) << cb;
    }
}

TEST(Unzipper, NamesAreFoundWithoutRegardToCaseAndTheLaterTwinWins)
{
    const Bytes archive = BuildZip(
        {StoredItem("layout.txt", {'a'}), StoredItem("Twin.txt", {'1'}), StoredItem("TWIN.TXT", {'2'}), StoredItem("z", {})});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), false);
    ASSERT_NE(zip[istring("Layout.TXT")], nullptr);
    EXPECT_EQ(zip[istring("Layout.TXT")]->c_str(), std::string("layout.txt"));
    EXPECT_EQ(zip.Count(), 3u);
    EXPECT_EQ(Contents(zip[istring("twin.txt")]), Bytes{'2'});
    EXPECT_EQ(zip[istring("missing")], nullptr);
}

TEST(Unzipper, LongNamesAreKeptWhole)
{
    const std::string n300(300, 'x'), n1000 = std::string(999, 'y') + "z";
    const Bytes archive = BuildZip({StoredItem(n300, {'3'}), StoredItem(n1000, {'1'}), StoredItem("after", {'!'})});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), false);
    ASSERT_NE(zip[istring(n300.c_str())], nullptr);
    ASSERT_NE(zip[istring(n1000.c_str())], nullptr);
    EXPECT_EQ(Contents(zip[istring(n1000.c_str())]), Bytes{'1'});
    EXPECT_EQ(Contents(zip[istring("after")]), Bytes{'!'});
}

TEST(Unzipper, StoredSizeIsTheSmallerOfTheTwo)
{
    ZipItem item = StoredItem("a", {'1', '2', '3'});
    item.cbUncompressed = 50;
    const Bytes archive = BuildZip({item});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), false);
    EXPECT_EQ(zip[istring("a")]->cbUncompressed, 3u);
    EXPECT_EQ(zip[istring("a")]->pbUncompressed, zip[istring("a")]->pbCompressed);
}

TEST(Unzipper, UnknownMethodNamesTheEntry)
{
    ZipItem item = StoredItem("images/odd.bin", {'1'});
    item.method = 12;
    EXPECT_EQ(OpenError(BuildZip({StoredItem("fine", {}), item})),
              "the entry images/odd.bin in the .ZIP file uses an unsupported compression method");
}

TEST(Unzipper, ShortOrForeignDataIsNotAZip)
{
    EXPECT_EQ(OpenError({}), kNotZip);
    EXPECT_EQ(OpenError({'P', 'K', 3}), kNotZip);
    EXPECT_EQ(OpenError({'M', 'Z', 0, 0, 0, 0, 0, 0}), kNotZip);
    Bytes prefixed = BuildZip({StoredItem("a", {'1'})});
    prefixed.insert(prefixed.begin(), 'X');
    EXPECT_EQ(OpenError(prefixed), kNotZip);
    for (size_t cb : {4, 17, 30}) {
        Bytes header = BuildZip({StoredItem("a", {'1'})});
        header.resize(cb);
        ZIPFILE zip(header.data(), DWORD(header.size()), false);
        EXPECT_EQ(zip.Count(), 0u) << cb;
    }
}

TEST(Unzipper, DosTimesAreClamped)
{
    SYSTEMTIME st;
    DosTimeToSystemTime(WORD((45 << 9) | (15 << 5) | 31), WORD((31 << 11) | (63 << 5) | 31), &st);
    EXPECT_EQ(st.wYear, 2025);
    EXPECT_EQ(st.wMonth, 12);
    EXPECT_EQ(st.wDay, 31);
    EXPECT_EQ(st.wHour, 23);
    EXPECT_EQ(st.wMinute, 59);
    EXPECT_EQ(st.wSecond, 59);
    EXPECT_EQ(st.wDayOfWeek, 0);
    EXPECT_EQ(st.wMilliseconds, 0);
    DosTimeToSystemTime(WORD((4 << 9) | (7 << 5) | 9), WORD((13 << 11) | (5 << 5) | 10), &st);
    EXPECT_EQ(st.wYear, 1984);
    EXPECT_EQ(st.wMonth, 7);
    EXPECT_EQ(st.wDay, 9);
    EXPECT_EQ(st.wHour, 13);
    EXPECT_EQ(st.wMinute, 5);
    EXPECT_EQ(st.wSecond, 20);
}

TEST(Unzipper, DeflatedEntryMayOverrunItsSizeOnlyWithinTheSlack)
{
    const Bytes data = TextLikeData(5000);
    ZipItem within = DeflatedItem("within", data);
    within.cbUncompressed = 4000;
    const Bytes archive = BuildZip({within});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), false);
    EXPECT_EQ(Contents(zip[istring("within")]), data);

    ZipItem beyond = DeflatedItem("beyond", data);
    beyond.cbUncompressed = 10;
    EXPECT_EQ(OpenError(BuildZip({beyond})), kCannotDeflate);
}

TEST(Unzipper, DeferredEntriesDecompressOnRequest)
{
    const Bytes data = TextLikeData(4000);
    ZipItem broken = DeflatedItem("broken", data);
    broken.data.resize(broken.data.size() / 2);
    const Bytes archive = BuildZip({DeflatedItem("packed", data), StoredItem("plain", data), broken});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), true);
    ZIPENTRY* packed = zip[istring("packed")];
    EXPECT_EQ(packed->pbUncompressed, nullptr);
    packed->Decompress();
    EXPECT_EQ(Contents(packed), data);
    packed->ReleaseData();
    EXPECT_EQ(packed->pbUncompressed, nullptr);
    EXPECT_EQ(packed->cbUncompressed, 0u);

    ZIPENTRY* plain = zip[istring("plain")];
    plain->Decompress();
    plain->ReleaseData();
    EXPECT_EQ(Contents(plain), data);

    ZIPENTRY* bad = zip[istring("broken")];
    EXPECT_THROW(bad->Decompress(), cetl::exception);
    EXPECT_EQ(bad->pbUncompressed, nullptr);
    EXPECT_EQ(OpenError(archive), "unzip read past end of stream");
}

TEST(Unzipper, CopiesOwnTheirOwnData)
{
    const Bytes data = TextLikeData(3000);
    const Bytes archive = BuildZip({DeflatedItem("packed", data), StoredItem("plain", data)});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), false);
    ZIPENTRY packed(*zip[istring("packed")]);
    EXPECT_NE(packed.pbUncompressed, zip[istring("packed")]->pbUncompressed);
    EXPECT_EQ(Contents(&packed), data);
    EXPECT_EQ(packed.c_str(), std::string("packed"));

    ZIPENTRY plain;
    plain = *zip[istring("plain")];
    EXPECT_EQ(plain.pbUncompressed, zip[istring("plain")]->pbUncompressed);
    plain = packed; // gives back nothing it does not own, takes a block of its own
    EXPECT_NE(plain.pbUncompressed, packed.pbUncompressed);
    EXPECT_EQ(Contents(&plain), data);
}

TEST(Unzipper, FileErrorsHaveTheirMessages)
{
    auto openFile = [](const fs::path& path) -> std::string {
        try {
            ZIPFILE zip(path.c_str(), false);
        } catch (const cetl::exception& e) {
            return e.what();
        }
        return "";
    };
    EXPECT_EQ(openFile(TestRoot() / "nowhere.zip"), "the .ZIP file specified does not exist");
    Spill(TestRoot() / "empty.zip", {});
    EXPECT_EQ(openFile(TestRoot() / "empty.zip"), "the .ZIP file specified is empty");
    Spill(TestRoot() / "text.zip", TextLikeData(100));
    EXPECT_EQ(openFile(TestRoot() / "text.zip"), kNotZip);
}

TEST(Unzipper, ResourceArchivesAreReadInPlace)
{
    static const Bytes data = TextLikeData(2000);
    static const Bytes archive = BuildZip({StoredItem("plain", data), DeflatedItem("packed", data)});
    static const ResourceEntry resource{u"ZIP", MAKEINTRESOURCEW(113), archive.data(), DWORD(archive.size())};
    static const bool registered = RegisterResources(&resource, 1);
    ASSERT_TRUE(registered);

    ZIPFILE zip(nullptr, MAKEINTRESOURCE(113), "ZIP", false);
    EXPECT_EQ(zip.pbData, nullptr);
    EXPECT_EQ(Contents(zip[istring("packed")]), data);
    const BYTE* plain = zip[istring("plain")]->pbUncompressed;
    EXPECT_TRUE(plain >= archive.data() && plain < archive.data() + archive.size());
    try {
        ZIPFILE missing(nullptr, MAKEINTRESOURCE(114), "ZIP", false);
        FAIL() << "opened";
    } catch (const cetl::exception& e) {
        EXPECT_STREQ(e.what(), "the .ZIP file resource specified does not exist");
    }
}

TEST(Unzipper, TruncatedArchivesFailCleanly)
{
    const Bytes data = TextLikeData(400);
    const Bytes archive = BuildZip({StoredItem("one", data), DeflatedItem("two", data), StoredItem("three/", {})});
    for (size_t cb = 0; cb < archive.size(); cb += 5) {
        const std::string error = OpenError(Bytes(archive.begin(), archive.begin() + cb));
        EXPECT_TRUE(error == "" || error == kNotZip || error == kExtendsBeyond) << cb << ": " << error;
    }
}

} // namespace
