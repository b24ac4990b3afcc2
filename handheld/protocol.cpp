#include "protocol.h"

#include "little_endian.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace handheld {

MessageWriter& MessageWriter::u32(uint32_t value)
{
    AppendLe32(payload_, value);
    return *this;
}

MessageWriter& MessageWriter::u64(uint64_t value)
{
    u32(uint32_t(value));
    return u32(uint32_t(value >> 32));
}

MessageWriter& MessageWriter::text(std::u16string_view value)
{
    u32(uint32_t(value.size()));
    for (char16_t c : value)
        AppendLe16(payload_, c);
    return *this;
}

MessageWriter& MessageWriter::bytes(const void* data, uint32_t size)
{
    u32(size);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    payload_.insert(payload_.end(), p, p + size);
    return *this;
}

bool MessageReader::take(size_t count, const uint8_t** at)
{
    if (!ok_ || count > size_ - pos_) {
        ok_ = false;
        return false;
    }
    *at = data_ + pos_;
    pos_ += count;
    return true;
}

uint32_t MessageReader::u32()
{
    const uint8_t* p;
    if (!take(4, &p))
        return 0;
    return LoadLe32(p);
}

uint64_t MessageReader::u64()
{
    const uint64_t low = u32();
    const uint64_t high = u32();
    return ok_ ? low | high << 32 : 0;
}

std::u16string MessageReader::text()
{
    const uint32_t count = u32();
    const uint8_t* p;
    if (count > kMaxText || !take(size_t(count) * 2, &p)) {
        ok_ = false;
        return {};
    }
    std::u16string value(count, u'\0');
    for (uint32_t i = 0; i < count; ++i)
        value[i] = LoadLe16(p + 2 * i);
    return value;
}

std::vector<uint8_t> MessageReader::bytes()
{
    const uint32_t count = u32();
    const uint8_t* p;
    if (!take(count, &p))
        return {};
    return std::vector<uint8_t>(p, p + count);
}

namespace {

bool writeAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t sent = send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= size_t(sent);
    }
    return true;
}

// 1 = all read, 0 = the peer closed first, -1 = error.
int readAll(int fd, uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t got = recv(fd, data, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            return 0;
        if (got < 0)
            return -1;
        data += got;
        size -= size_t(got);
    }
    return 1;
}

} // namespace

bool SendMessage(int fd, const std::vector<uint8_t>& payload)
{
    if (payload.size() > kMaxMessage)
        return false;
    const uint32_t size = uint32_t(payload.size());
    uint8_t header[4];
    StoreLe32(header, size);
    return writeAll(fd, header, 4) && writeAll(fd, payload.data(), payload.size());
}

ReceiveResult ReceiveMessage(int fd, std::vector<uint8_t>& payload)
{
    uint8_t header[4];
    int got = readAll(fd, header, 4);
    if (got <= 0)
        return got == 0 ? ReceiveResult::Closed : ReceiveResult::Failed;
    const uint32_t size = LoadLe32(header);
    if (size > kMaxMessage)
        return ReceiveResult::TooLarge;
    payload.resize(size);
    got = readAll(fd, payload.data(), size);
    if (got <= 0)
        return got == 0 ? ReceiveResult::Closed : ReceiveResult::Failed;
    return ReceiveResult::Ok;
}

std::string SocketPath(const std::string& runtimeFolder)
{
    return runtimeFolder + "/quibo-handheld.sock";
}

std::string StatePath(const std::string& runtimeFolder)
{
    return runtimeFolder + "/quibo-handheld.state";
}

std::string LockPath(const std::string& runtimeFolder)
{
    return runtimeFolder + "/quibo-handheld.lock";
}

std::string RuntimeFolder()
{
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    if (folder && *folder == '/')
        return folder;
    return "/tmp/quibo-runtime-" + std::to_string(getuid());
}

int ConnectToDevice(const std::string& runtimeFolder)
{
    const std::string path = SocketPath(runtimeFolder);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path))
        return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace handheld
