#include "unzipper.h"

#include "cetl/exception.h"
#include "little_endian.h"
#include "test_env.h"
#include "zip_builder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace {

const std::string kNotZip = "the file supplied is not a .ZIP file";
const std::string kExtendsBeyond = "the .ZIP file specified contains an entry which extends beyond the supplied data";
const std::string kSizesFollowData = "the .ZIP file specified contains an entry whose sizes follow its data";

// The error opening an archive from these arguments, or "".
template<typename... Args> std::string OpenError(Args... args)
{
    try {
        ZIPFILE zip(args..., false);
    } catch (const cetl::exception& e) {
        return e.what();
    }
    return "";
}

std::string OpenError(const Bytes& archive)
{
    return OpenError(archive.data(), DWORD(archive.size()));
}

const auto Contents
    = [](const ZIPENTRY* entry) -> Bytes { return Bytes(entry->pbUncompressed, entry->pbUncompressed + entry->cbUncompressed); };

// Every entry by its name as stored, with its contents.
std::map<std::string, Bytes> Entries(const ZIPFILE& zip)
{
    std::map<std::string, Bytes> entries;
    for (const auto& entry : zip)
        entries[entry.value->c_str()] = Contents(entry.value);
    return entries;
}

// The archive with the first header's compressed size set.
Bytes WithCompressedSize(Bytes archive, uint32_t value)
{
    StoreLe32(&archive[18], value);
    return archive;
}

Bytes FirstHalf(Bytes bytes)
{
    bytes.resize(bytes.size() / 2);
    return bytes;
}

TEST(Unzipper, DamagedOrForeignDataIsRefusedWithItsReason)
{
    const Bytes one = BuildZip({StoredItem("a", {'1'})}, true);
    Bytes prefixed = BuildZip({StoredItem("a", {'1'})});
    prefixed.insert(prefixed.begin(), 'X');
    Bytes oneMore = one, trailing = one;
    oneMore.push_back(0);
    trailing.insert(trailing.end(), 40, 0xEE);
    // A streaming writer leaves the sizes to the descriptor after the data.
    const Bytes unsized
        = WithCompressedSize(BuildZip({{"streamed", Bytes(500, 'x'), 0, 8, 500, Bytes(12, 0)}, StoredItem("next", {'1'})}), 0);
    const std::tuple<const char*, Bytes, std::string> cases[] = {
        {"nothing", {}, kNotZip},
        {"three bytes", {'P', 'K', 3}, kNotZip},
        {"a program", {'M', 'Z', 0, 0, 0, 0, 0, 0}, kNotZip},
        {"a byte before the first header", prefixed, kNotZip},
        {"an entry ending at the last byte", BuildZip({StoredItem("a", {'1'}), StoredItem("b", {'2'})}, true), kExtendsBeyond},
        {"an entry ending one byte before", oneMore, ""},
        {"trailing data of any kind", trailing, ""},
        {"a size past the data", WithCompressedSize(BuildZip({StoredItem("a", {'1', '2'})}), 100), kExtendsBeyond},
        {"an extra field past the data", BuildZip({{"a", {'1'}, 0, 0, 1, {}, Bytes(40, 0)}}, true), kExtendsBeyond},
        {"a size near 2^32", WithCompressedSize(BuildZip({StoredItem("a", {'1', '2'})}), 0xFFFFFFF0), kExtendsBeyond},
        {"a descriptor entry whose header leaves its compressed size at zero", unsized, kSizesFollowData},
        {"an unknown method", BuildZip({StoredItem("fine", {}), {"images/odd.bin", {'1'}, 12, 0, 0, {}}}),
         "the entry images/odd.bin in the .ZIP file uses an unsupported compression method"},
        // Ten bytes are more than the slack short.
        {"a deflated entry overrunning its size", BuildZip({{"beyond", ZlibDeflate(TextLikeData(5000), 9), 8, 0, 10, {}}}),
         "unable to deflate .ZIP file content"},
        {"a deflated entry cut short", BuildZip({{"broken", FirstHalf(ZlibDeflate(TextLikeData(4000), 9)), 8, 0, 4000, {}}}),
         "unzip read past end of stream"},
    };
    for (const auto& [name, archive, error] : cases)
        EXPECT_EQ(OpenError(archive), error) << name;
    EXPECT_NE(OpenError(BuildZip({{std::string(70000, 's'), {'1'}, 12, 0, 0, {}}})), ""); // a name longer than any message

    std::ofstream(TestRoot() / "empty.zip").flush();
    std::ofstream(TestRoot() / "text.zip") << "plain text";
    EXPECT_EQ(OpenError((TestRoot() / "nowhere.zip").c_str()), "the .ZIP file specified does not exist");
    EXPECT_EQ(OpenError((TestRoot() / "empty.zip").c_str()), "the .ZIP file specified is empty");
    EXPECT_EQ(OpenError((TestRoot() / "text.zip").c_str()), kNotZip);
    EXPECT_EQ(OpenError(HMODULE(nullptr), MAKEINTRESOURCE(114), "ZIP"), "the .ZIP file resource specified does not exist");
}

TEST(Unzipper, EntriesAreFoundByWholeNameWithoutRegardToCase)
{
    const Bytes data = TextLikeData(2000);
    const std::string n300(300, 'x'), n1000 = std::string(999, 'y') + "z";
    // Flag bit 2 alone means nothing to the reader; "within" is short, but within the slack.
    const Bytes archive = BuildZip({StoredItem("layout.txt", {'a'}),
                                    StoredItem("Twin.txt", {'1'}),
                                    StoredItem("TWIN.TXT", {'2'}),
                                    {"described", ZlibDeflate(data, 9), 8, 8, 2000, Bytes(12, 7)},
                                    {"flagged", data, 0, 4, 2000, {}},
                                    {"short", {'1', '2', '3'}, 0, 0, 50, {}},
                                    {"within", ZlibDeflate(data, 9), 8, 0, 1990, {}},
                                    StoredItem(n300, {'3'}),
                                    StoredItem(n1000, {'1'}),
                                    {"extra", {'!'}, 0, 0, 1, {}, Bytes(9, 0xEE)}});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), false);
    // The later twin wins; a stored entry has the smaller of its two sizes.
    const std::map<std::string, Bytes> expected
        = {{"layout.txt", {'a'}}, {"TWIN.TXT", {'2'}}, {"described", data}, {"flagged", data}, {"short", {'1', '2', '3'}},
           {"within", data},      {n300, {'3'}},       {n1000, {'1'}},      {"extra", {'!'}}};
    EXPECT_EQ(Entries(zip), expected);
    EXPECT_EQ(zip[istring("Layout.TXT")]->c_str(), std::string("layout.txt"));
    EXPECT_EQ(zip[istring("missing")], nullptr);
    EXPECT_EQ(zip[istring("short")]->pbUncompressed, zip[istring("short")]->pbCompressed);
}

TEST(Unzipper, DeferredEntriesDecompressOnRequestAndCopiesOwnTheirData)
{
    const Bytes data = TextLikeData(4000);
    const Bytes archive
        = BuildZip({DeflatedItem("packed", data), StoredItem("plain", data), {"broken", FirstHalf(ZlibDeflate(data, 9)), 8, 0, 4000, {}}});
    ZIPFILE zip(archive.data(), DWORD(archive.size()), true);
    ZIPENTRY *packed = zip[istring("packed")], *plain = zip[istring("plain")], *bad = zip[istring("broken")];
    EXPECT_EQ(packed->pbUncompressed, nullptr);
    packed->Decompress();
    plain->Decompress();
    EXPECT_THROW(bad->Decompress(), cetl::exception);
    EXPECT_EQ(bad->pbUncompressed, nullptr); // a half-decoded entry must not pass for a decoded one

    ZIPENTRY copy(*packed), assigned;
    assigned = *plain;
    packed->ReleaseData();
    plain->ReleaseData(); // gives back nothing it does not own
    EXPECT_EQ(std::tuple(packed->pbUncompressed, packed->cbUncompressed, assigned.pbUncompressed),
              std::tuple(static_cast<BYTE*>(nullptr), 0u, plain->pbUncompressed));
    EXPECT_EQ(Contents(&copy), data);
    EXPECT_EQ(Contents(plain), data);
    assigned = copy; // takes a block of its own
    EXPECT_NE(assigned.pbUncompressed, copy.pbUncompressed);
    EXPECT_EQ(Contents(&assigned), data);
}

} // namespace
