// The device against clients that misbehave on the wire.
#include "device_support.h"
#include "protocol.h"

#include "hostfolders.h"
#include "rapi.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace handheld;
using Results = std::vector<int64_t>;

namespace {

// A client that speaks the protocol by hand.
struct RawClient {
    ~RawClient() { close(fd); }
    bool sendRaw(const std::vector<uint8_t>& bytes) { return write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size()); }
    // The reply's last error, or -1 when the device closed the connection instead.
    int64_t ask(const MessageWriter& request)
    {
        std::vector<uint8_t> answer;
        const bool answered = SendMessage(fd, request.payload()) && ReceiveMessage(fd, answer) == ReceiveResult::Ok;
        return answered ? int64_t(MessageReader(answer).u32()) : -1;
    }
    bool hello() { return ask(MessageWriter().u32(uint32_t(Op::Hello)).u32(kProtocolVersion)) == 0; }
    const int fd = ConnectToDevice(HostRuntimeFolder());
};

MessageWriter request(Op op)
{
    return MessageWriter().u32(uint32_t(op));
}

} // namespace

// Malformed requests get an error and the session goes on; an oversized message, or a client
// that vanishes mid-write, ends only that client, and what arrived whole stays on the device.
TEST(Wire, MisbehavingClientsEndOnlyTheirOwnSession)
{
    RunningDevice device;
    ASSERT_TRUE(device.started());
    RawClient client;
    ASSERT_GE(client.fd, 0);
    // Before hello; after it, a path shorter than its length, missing arguments, trailing bytes,
    // a block longer than the message, an unknown handle, an unknown key, an unknown operation;
    // then a good request, and an empty message, which ends the session.
    EXPECT_EQ((Results{client.ask(request(Op::FileAttributes).text(u"\\Windows")), client.hello(),
                       client.ask(request(Op::FileAttributes).u32(40).u32(0x005C)), client.ask(request(Op::CreateFile).text(u"\\x")),
                       client.ask(request(Op::FileAttributes).text(u"\\Windows").u32(1)),
                       client.ask(request(Op::WriteFile).u32(1).u32(5000)), client.ask(request(Op::WriteFile).u32(77).bytes("x", 1)),
                       client.ask(request(Op::RegSetValue).u32(77).text(u"v").u32(REG_SZ).bytes("", 0)), client.ask(request(Op(999))),
                       client.ask(request(Op::FileAttributes).text(u"\\Windows")), client.ask(MessageWriter())}),
              (Results{ERROR_NOT_CONNECTED, true, ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER,
                       ERROR_INVALID_PARAMETER, ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE, ERROR_CALL_NOT_IMPLEMENTED, 0, -1}));

    RawClient oversized;
    EXPECT_EQ((Results{oversized.hello(), oversized.sendRaw({0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3}), oversized.ask(request(Op::Status))}),
              (Results{true, true, -1}));
    {
        // A write of 100000 bytes of which only 10 ever arrive, then the client is gone.
        RawClient torn;
        std::vector<uint8_t> partial = MessageWriter().u32(100012).u32(uint32_t(Op::WriteFile)).u32(1).u32(100000).payload();
        partial.resize(partial.size() + 10, 'b');
        EXPECT_EQ(
            (Results{torn.hello(), torn.ask(request(Op::CreateFile).text(u"\\big.bin").u32(GENERIC_WRITE).u32(0).u32(CREATE_ALWAYS).u32(0)),
                     torn.ask(request(Op::WriteFile).u32(1).bytes(std::string(1000, 'a').data(), 1000)), torn.sendRaw(partial)}),
            (Results{true, 0, 0, true}));
    }
    RawClient next;
    EXPECT_EQ((Results{device.status("listening\n") == "listening\n", int64_t(std::filesystem::file_size(device.root() + "/big.bin")),
                       next.hello(), next.ask(request(Op::DeleteFile).text(u"\\big.bin"))}),
              (Results{true, 1000, true, 0}));
}

namespace {

// A device that says hello, answers each request with the next scripted reply and the one after
// the last with an oversized frame.
std::jthread scriptedDevice(std::vector<MessageWriter> replies)
{
    const std::string path = SocketPath(HostRuntimeFolder());
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    unlink(path.c_str());
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    listen(listener, 1);
    return std::jthread([=] {
        const int fd = accept(listener, nullptr, nullptr);
        std::vector<uint8_t> request;
        bool ok = ReceiveMessage(fd, request) == ReceiveResult::Ok && SendMessage(fd, MessageWriter().u32(0).payload());
        for (const MessageWriter& reply : replies)
            ok = ok && ReceiveMessage(fd, request) == ReceiveResult::Ok && SendMessage(fd, reply.payload());
        if (ok && ReceiveMessage(fd, request) == ReceiveResult::Ok) [[maybe_unused]]
            const ssize_t sent = write(fd, "\xFF\xFF\xFF\xFF", 4);
        close(fd);
        close(listener);
        unlink(path.c_str());
    });
}

} // namespace

// librapi reads what a device sends as carefully as the device reads what it gets.
TEST(Wire, LibrapiRefusesRepliesThatDoNotFit)
{
    const std::jthread device = scriptedDevice({
        MessageWriter().u32(0), // attributes missing
        MessageWriter().u32(0).u32(1).u32(5).u32(9), // trailing word
        MessageWriter().u32(0).u32(1).bytes(std::string(200, 'x').data(), 200), // more than asked
        MessageWriter().u32(0).text(std::u16string(300, u'f')), // folder longer than the buffer
    });
    ASSERT_TRUE(ConnectRapi(5000));
    uint8_t buffer[100 + 16];
    std::memset(buffer, 0xAB, sizeof buffer);
    DWORD got = 7;
    WCHAR folder[MAX_PATH];
    // Nothing is written past what was asked for; after the oversized reply the connection
    // is gone for good.
    EXPECT_EQ((Results{CeGetFileAttributes(u"\\a"), CeRapiGetError(), CeGetLastError(), CeGetFileSize(reinterpret_cast<HANDLE>(1), nullptr),
                       CeGetLastError(), CeReadFile(reinterpret_cast<HANDLE>(1), buffer, 100, &got, nullptr), got, buffer[100],
                       CeGetSpecialFolderPath(CSIDL_PROGRAMS, MAX_PATH, folder), CeGetLastError(), CeGetFileAttributes(u"\\a"),
                       CeRapiGetError(), CeGetFileAttributes(u"\\a"), CeGetLastError()}),
              (Results{INVALID_FILE_ATTRIBUTES, E_FAIL, ERROR_INVALID_DATA, INVALID_FILE_SIZE, ERROR_INVALID_DATA, false, 0, 0xAB, 0,
                       ERROR_INSUFFICIENT_BUFFER, INVALID_FILE_ATTRIBUTES, HRESULT_FROM_WIN32(ERROR_BROKEN_PIPE), INVALID_FILE_ATTRIBUTES,
                       ERROR_NOT_CONNECTED}));
    DisconnectRapi();
}
