#include "protocol.h"

#include "commandline.h"
#include "devicepath.h"

#include "hostfolders.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace handheld;

namespace {

std::vector<uint8_t> bytesOf(std::initializer_list<uint8_t> list)
{
    return std::vector<uint8_t>(list);
}

} // namespace

TEST(Messages, FieldsRoundTrip)
{
    const uint8_t block[] = {1, 2, 3};
    const std::vector<uint8_t> payload
        = MessageWriter().u32(0xA1B2C3D4).u64(0x0102030405060708ull).text(u"\\Windows\\é").bytes(block, 3).payload();
    EXPECT_EQ(payload[0], 0xD4); // little-endian on the wire
    MessageReader reader(payload);
    EXPECT_EQ(reader.u32(), 0xA1B2C3D4u);
    EXPECT_EQ(reader.u64(), 0x0102030405060708ull);
    EXPECT_EQ(reader.text(), u"\\Windows\\é");
    EXPECT_EQ(reader.bytes(), std::vector<uint8_t>(block, block + 3));
    EXPECT_TRUE(reader.complete());
}

// Every length the reader is given is checked against what is left; a bad one fails the
// whole message and nothing is read past its end.
TEST(Messages, TruncatedOrLyingInputFailsTheReader)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> payload;
        int field; // 0 u32, 1 u64, 2 text, 3 bytes
    } cases[] = {
        {"three bytes for a number", bytesOf({1, 2, 3}), 0},
        {"seven bytes for a long", bytesOf({1, 2, 3, 4, 5, 6, 7}), 1},
        {"text longer than the message", bytesOf({5, 0, 0, 0, 'a', 0}), 2},
        {"text of an odd byte", bytesOf({1, 0, 0, 0, 'a'}), 2},
        {"text over the limit", MessageWriter().text(std::u16string(kMaxText + 1, u'x')).payload(), 2},
        {"text length near 2^32", bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0, 0}), 2},
        {"block longer than the message", bytesOf({9, 0, 0, 0, 1, 2}), 3},
        {"block length near 2^32", bytesOf({0xFF, 0xFF, 0xFF, 0xFF, 0, 0}), 3},
        {"empty", {}, 0},
    };
    for (const Case& c : cases) {
        MessageReader reader(c.payload);
        if (c.field == 0)
            EXPECT_EQ(reader.u32(), 0u) << c.name;
        else if (c.field == 1)
            EXPECT_EQ(reader.u64(), 0u) << c.name;
        else if (c.field == 2)
            EXPECT_EQ(reader.text(), u"") << c.name;
        else
            EXPECT_TRUE(reader.bytes().empty()) << c.name;
        EXPECT_FALSE(reader.ok()) << c.name;
        EXPECT_EQ(reader.u32(), 0u) << c.name << ": a failed reader stays failed";
    }

    const std::vector<uint8_t> extra = bytesOf({1, 0, 0, 0, 9});
    MessageReader trailing(extra);
    EXPECT_EQ(trailing.u32(), 1u);
    EXPECT_TRUE(trailing.ok());
    EXPECT_FALSE(trailing.complete()) << "a trailing byte is no complete message";
}

TEST(Messages, FramingRefusesOversizedAndTruncatedMessages)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    std::vector<uint8_t> received;

    ASSERT_TRUE(SendMessage(pair[0], MessageWriter().u32(7).payload()));
    ASSERT_EQ(ReceiveMessage(pair[1], received), ReceiveResult::Ok);
    EXPECT_EQ(received, MessageWriter().u32(7).payload());

    const uint8_t huge[] = {0x01, 0x00, 0x10, 0x00}; // kMaxMessage + 1
    ASSERT_EQ(write(pair[0], huge, 4), 4);
    EXPECT_EQ(ReceiveMessage(pair[1], received), ReceiveResult::TooLarge);
    EXPECT_FALSE(SendMessage(pair[0], std::vector<uint8_t>(kMaxMessage + 1)));

    const uint8_t promise[] = {100, 0, 0, 0, 1, 2, 3};
    ASSERT_EQ(write(pair[0], promise, sizeof promise), ssize_t(sizeof promise));
    close(pair[0]);
    EXPECT_EQ(ReceiveMessage(pair[1], received), ReceiveResult::Closed);
    EXPECT_EQ(ReceiveMessage(pair[1], received), ReceiveResult::Closed);
    close(pair[1]);
}

TEST(DevicePaths, CanonicalFormsAndRefusals)
{
    const struct {
        const char16_t* path;
        const char16_t* canonical; // null: refused
    } cases[] = {
        {u"\\Program Files\\Quibo\\quibo.exe", u"\\Program Files\\Quibo\\quibo.exe"},
        {u"/Program Files//Quibo/./x", u"\\Program Files\\Quibo\\x"},
        {u"C:\\Windows", u"\\Windows"},
        {u"c:", u"\\"},
        {u"\\", u"\\"},
        {u"Windows\\StartUp", u"\\Windows\\StartUp"},
        {u"\\a\\..\\b", u"\\b"},
        {u"\\..", nullptr},
        {u"\\a\\..\\..\\etc\\passwd", nullptr},
        {u"D:\\x", nullptr},
        {u"\\a:b", nullptr},
        {u"\\a*", nullptr},
        {u"\\.quibo-handheld\\quibo\\registry.db", nullptr},
        {u"\\.QUIBO-HANDHELD", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::u16string> canonical = CanonicalDevicePath(c.path);
        if (c.canonical)
            EXPECT_EQ(canonical, std::u16string(c.canonical));
        else
            EXPECT_FALSE(canonical.has_value());
    }
    EXPECT_FALSE(CanonicalDevicePath(std::u16string(u"\\a\0b", 4)).has_value()) << "an embedded NUL";
    EXPECT_FALSE(CanonicalDevicePath(u"\\" + std::u16string(300, u'x')).has_value()) << "too long";
}

TEST(CommandLine, StartOptionsAndTheirRefusals)
{
    std::string error;
    auto parse = [&](std::vector<std::string> arguments) { return ParseCommandLine(arguments, error); };

    auto config = [&](std::vector<std::string> arguments) {
        const std::optional<Command> command = parse(arguments);
        EXPECT_TRUE(command && command->verb == Command::Start);
        const DeviceConfig c = command ? command->config : DeviceConfig{};
        return std::tuple(c.processor, c.screenWidth, c.screenHeight, c.screenBits, c.freeBytes, c.answerDelayMs);
    };
    EXPECT_EQ(config({"start", "--root", "/tmp/d"}), std::tuple(5u, 240, 320, 16, std::optional<uint64_t>(), 0u));
    EXPECT_EQ(config({"start", "--processor", "4", "--screen", "480x640x8", "--free", "12345", "--answer-delay", "700", "--root", "/d"}),
              std::tuple(4u, 480, 640, 8, std::optional<uint64_t>(12345), 700u));
    std::optional<Command> command;
    command = parse({"run", "\\Program Files\\Quibo\\quibo.exe"});
    ASSERT_TRUE(command);
    EXPECT_EQ(command->programPath, "\\Program Files\\Quibo\\quibo.exe");
    EXPECT_EQ(parse({"status"})->verb, Command::Status);
    EXPECT_EQ(parse({"stop"})->verb, Command::Stop);

    const std::vector<std::vector<std::string>> refused = {
        {},
        {"begin"},
        {"start"},
        {"start", "--root"},
        {"start", "--root", "/d", "--colour", "red"},
        {"start", "--root", "/d", "--processor", "-1"},
        {"start", "--root", "/d", "--processor", "70000"},
        {"start", "--root", "/d", "--processor", "5x"},
        {"start", "--root", "/d", "--screen", "240x320"},
        {"start", "--root", "/d", "--screen", "240x320x15"},
        {"start", "--root", "/d", "--screen", "0x320x16"},
        {"start", "--root", "/d", "--screen", "240x320x16junk"},
        {"start", "--root", "/d", "--free", "lots"},
        {"start", "--root", "/d", "--answer-delay", "99999999"},
        {"status", "now"},
        {"run"},
        {"run", "a", "b"},
    };
    for (const auto& arguments : refused) {
        error.clear();
        EXPECT_FALSE(parse(arguments)) << testing::PrintToString(arguments);
        EXPECT_FALSE(error.empty());
    }
}
