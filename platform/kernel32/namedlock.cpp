#include "namedlock.h"

#include "hosterror.h"
#include "utf.h"

#include "hostfolders.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr off_t kOwnerByte = 0;
constexpr off_t kPresenceByte = 1;
constexpr size_t kMaxFileName = 200; // below NAME_MAX with room for the prefix
constexpr auto kPollInterval = std::chrono::milliseconds(2);

// The name as a file name: letters, digits and a few safe marks stay, the rest is %XX.
std::string fileNameFor(const std::u16string& name)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string file = "mutex-";
    for (unsigned char c : Utf16ToUtf8(name)) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ' ' || c == '.') {
            file += static_cast<char>(c);
        } else {
            file += '%';
            file += hex[c >> 4];
            file += hex[c & 15];
        }
    }
    return file + ".lock";
}

// One byte-range lock on the open file; `wait` blocks until it is granted.
bool setLock(int fd, short type, off_t byte, bool wait)
{
    struct flock request = {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = byte;
    request.l_len = 1;
    for (;;) {
        if (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &request) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

std::unique_ptr<NamedLock> NamedLock::open(const std::u16string& name, bool ownIfFirst, bool& existed)
{
    const std::string file = fileNameFor(name);
    if (file.size() > kMaxFileName) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    const std::string path = HostRuntimeFolder() + "/" + file;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        FailFromErrno();
        return nullptr;
    }
    // Trying for the presence byte alone settles who came first; the winner then shares it.
    existed = !setLock(fd, F_WRLCK, kPresenceByte, false);
    const bool owned = !existed && ownIfFirst && setLock(fd, F_WRLCK, kOwnerByte, true);
    if ((ownIfFirst && !existed && !owned) || !setLock(fd, F_RDLCK, kPresenceByte, true)) {
        FailFromErrno();
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<NamedLock>(new NamedLock(fd));
}

NamedLock::~NamedLock()
{
    close(fd_);
}

bool NamedLock::acquire(const Deadline& deadline)
{
    if (!deadline)
        return setLock(fd_, F_WRLCK, kOwnerByte, true);
    // The host cannot wait on a file lock with a timeout, so poll until the deadline.
    ClockWatch watch(*deadline);
    while (!setLock(fd_, F_WRLCK, kOwnerByte, false)) {
        if (watch.passed())
            return false;
        std::this_thread::sleep_for(std::min<LayerClock::duration>(kPollInterval, WaitSlice(*deadline)));
    }
    return true;
}

void NamedLock::release()
{
    setLock(fd_, F_UNLCK, kOwnerByte, false);
}
