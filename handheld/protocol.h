// The wire between librapi (the desktop side) and quibo-handheld (the device), over a Unix
// socket in the runtime folder. A message is a 32-bit little-endian payload length and the
// payload. A request payload starts with its opcode; a reply payload starts with the device's
// last error after the call. Numbers are little-endian; a text is its length in UTF-16 units
// and the units; a byte block is its length and the bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace handheld {

// Larger messages are refused and end the connection: the biggest legitimate one carries
// one write of kMaxChunk bytes or one invoke request.
constexpr uint32_t kMaxMessage = 1u << 20;
constexpr uint32_t kMaxChunk = 256u * 1024;
constexpr uint32_t kMaxText = 32768; // UTF-16 units
constexpr uint32_t kProtocolVersion = 1;

enum class Op : uint32_t {
    Hello = 1, // version → (after the answer delay) nothing
    Status, // → connected session count
    Stop, // → nothing; the device then shuts down
    SystemInfo,
    SpecialFolder,
    StoreInformation,
    SystemMetrics,
    DeviceCaps,
    FileAttributes,
    SetFileAttributes,
    CreateDirectory,
    RemoveDirectory,
    DeleteFile,
    MoveFile,
    CreateFile,
    ReadFile,
    WriteFile,
    SetFilePointer,
    GetFileSize,
    CloseHandle,
    CreateShortcut,
    ShortcutTarget,
    RegOpenKey,
    RegCreateKey,
    RegCloseKey,
    RegDeleteKey,
    RegQueryValue,
    RegSetValue,
    RegDeleteValue,
    Invoke,
};

class MessageWriter {
public:
    MessageWriter& u32(uint32_t value);
    MessageWriter& u64(uint64_t value);
    MessageWriter& text(std::u16string_view value);
    MessageWriter& bytes(const void* data, uint32_t size);
    const std::vector<uint8_t>& payload() const { return payload_; }

private:
    std::vector<uint8_t> payload_;
};

// Reads fields in order. Any read past the end, or a length that does not fit what is left,
// marks the reader failed and yields zero or empty from then on; callers check ok() once.
class MessageReader {
public:
    explicit MessageReader(const std::vector<uint8_t>& payload) : data_(payload.data()), size_(payload.size()) { }
    uint32_t u32();
    uint64_t u64();
    std::u16string text();
    std::vector<uint8_t> bytes();
    bool ok() const { return ok_; }
    // True when every byte was read and nothing failed.
    bool complete() const { return ok_ && pos_ == size_; }

private:
    bool take(size_t count, const uint8_t** at);
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

enum class ReceiveResult { Ok, Closed, TooLarge, Failed };

// Sends one message; false when the peer is gone.
bool SendMessage(int fd, const std::vector<uint8_t>& payload);
// Receives one message of at most kMaxMessage bytes. A peer that closes before a whole
// message arrived gives Closed.
ReceiveResult ReceiveMessage(int fd, std::vector<uint8_t>& payload);

// The device's socket and its description in `runtimeFolder`; one device per folder.
std::string SocketPath(const std::string& runtimeFolder);
std::string StatePath(const std::string& runtimeFolder);
std::string LockPath(const std::string& runtimeFolder);

// The runtime folder as the platform layer names it ($XDG_RUNTIME_DIR, else
// /tmp/quibo-runtime-<uid>), for librapi, which carries no platform layer of its own.
std::string RuntimeFolder();

// Connects to the device's socket; -1 when nothing listens there.
int ConnectToDevice(const std::string& runtimeFolder);

} // namespace handheld
