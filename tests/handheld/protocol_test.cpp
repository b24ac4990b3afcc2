#include "protocol.h"

#include "commandline.h"
#include "devicepath.h"

#include "hostfolders.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

using namespace handheld;
using namespace std::string_literals;

// Every length the reader is given is checked against what is left; a bad one fails the
// whole message, nothing is read past its end, and a failed reader stays failed.
TEST(Messages, TruncatedOrLyingInputFailsTheReader)
{
    // Three bytes for a number, seven for a long; text longer than the message, of an odd byte,
    // over the limit or of a length near 2^32; a block longer than the message or near 2^32;
    // nothing at all.
    const std::pair<char, std::vector<uint8_t>> cases[] = {{'n', {1, 2, 3}},
                                                           {'l', {1, 2, 3, 4, 5, 6, 7}},
                                                           {'t', {5, 0, 0, 0, 'a', 0}},
                                                           {'t', {1, 0, 0, 0, 'a'}},
                                                           {'t', MessageWriter().text(std::u16string(kMaxText + 1, u'x')).payload()},
                                                           {'t', {0xFF, 0xFF, 0xFF, 0xFF, 0, 0}},
                                                           {'b', {9, 0, 0, 0, 1, 2}},
                                                           {'b', {0xFF, 0xFF, 0xFF, 0xFF, 0, 0}},
                                                           {'n', {}}};
    for (const auto& [field, payload] : cases) {
        MessageReader reader(payload);
        const bool nothing = field == 'n'   ? reader.u32() == 0
                             : field == 'l' ? reader.u64() == 0
                             : field == 't' ? reader.text().empty()
                                            : reader.bytes().empty();
        EXPECT_EQ((std::tuple{nothing, reader.ok(), reader.u32()}), (std::tuple{true, false, 0u})) << testing::PrintToString(payload);
    }
    const std::vector<uint8_t> extra = {1, 0, 0, 0, 9};
    MessageReader trailing(extra);
    EXPECT_EQ((std::tuple{trailing.u32(), trailing.ok(), trailing.complete()}), (std::tuple{1u, true, false})) << "a trailing byte";
}

TEST(Messages, FramingRefusesOversizedAndTruncatedMessages)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    const timeval second{1, 0}; // what waits for what never comes fails instead of hanging
    for (const int option : {SO_RCVTIMEO, SO_SNDTIMEO})
        setsockopt(pair[option == SO_RCVTIMEO], SOL_SOCKET, option, &second, sizeof second);
    // A frame of kMaxMessage + 1 bytes; then one that promises 100 bytes and brings 3 before the end.
    const uint8_t huge[] = {0x01, 0x00, 0x10, 0x00}, promise[] = {100, 0, 0, 0, 1, 2, 3};
    std::vector<uint8_t> received;
    EXPECT_EQ(
        (std::tuple{write(pair[0], huge, 4), ReceiveMessage(pair[1], received), SendMessage(pair[0], std::vector<uint8_t>(kMaxMessage + 1)),
                    write(pair[0], promise, sizeof promise), close(pair[0]), ReceiveMessage(pair[1], received),
                    ReceiveMessage(pair[1], received)}),
        (std::tuple{ssize_t(4), ReceiveResult::TooLarge, false, ssize_t(sizeof promise), 0, ReceiveResult::Closed, ReceiveResult::Closed}));
    close(pair[1]);
}

TEST(DevicePaths, CanonicalFormsAndRefusals)
{
    const std::pair<std::u16string, std::u16string> accepted[]
        = {{u"\\Program Files\\Quibo\\quibo.exe", u"\\Program Files\\Quibo\\quibo.exe"},
           {u"/Program Files//Quibo/./x", u"\\Program Files\\Quibo\\x"},
           {u"C:\\Windows", u"\\Windows"},
           {u"c:", u"\\"},
           {u"\\", u"\\"},
           {u"Windows\\StartUp", u"\\Windows\\StartUp"},
           {u"\\a\\..\\b", u"\\b"}};
    for (const auto& [path, canonical] : accepted)
        EXPECT_EQ(CanonicalDevicePath(path), canonical);
    // Above the root, another drive, wildcards, the device's own store, an embedded NUL, too long.
    for (const std::u16string& path :
         {u"\\.."s, u"\\a\\..\\..\\etc\\passwd"s, u"D:\\x"s, u"\\a:b"s, u"\\a*"s, u"\\.quibo-handheld\\quibo\\registry.db"s,
          u"\\.QUIBO-HANDHELD"s, std::u16string(u"\\a\0b", 4), u"\\" + std::u16string(300, u'x')})
        EXPECT_EQ(CanonicalDevicePath(path), std::nullopt) << testing::PrintToString(path);
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
    const std::optional<Command> run = parse({"run", "\\Program Files\\Quibo\\quibo.exe"});
    EXPECT_EQ((std::tuple{run ? run->programPath : "", parse({"status"})->verb, parse({"stop"})->verb}),
              (std::tuple{std::string("\\Program Files\\Quibo\\quibo.exe"), Command::Status, Command::Stop}));

    // Each refused command line, its words split at spaces.
    for (const char* line :
         {"", "begin", "start", "start --root", "start --root /d --colour red", "start --root /d --processor -1",
          "start --root /d --processor 70000", "start --root /d --processor 5x", "start --root /d --screen 240x320",
          "start --root /d --screen 240x320x15", "start --root /d --screen 0x320x16", "start --root /d --screen 240x320x16junk",
          "start --root /d --free lots", "start --root /d --answer-delay 99999999", "status now", "run", "run a b"}) {
        std::vector<std::string> arguments;
        std::istringstream words(line);
        for (std::string word; words >> word;)
            arguments.push_back(word);
        error.clear();
        EXPECT_FALSE(parse(arguments)) << line;
        EXPECT_FALSE(error.empty());
    }
}
