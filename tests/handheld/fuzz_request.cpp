// The device's answers to any sequence of requests a client can send. Remote invocation is
// left out: it runs whatever library it is asked to, which is its purpose.
#include "device.h"
#include "devicepath.h"
#include "fuzz_scratch.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace handheld;

namespace {

const std::filesystem::path& deviceRoot()
{
    static const std::filesystem::path root = FuzzScratch() / "device";
    return root;
}

// A folder or file of the device as Prepare leaves it: its entries and its attributes.
struct Entry {
    std::string path;
    size_t entries;
    mode_t mode;
    off_t size;
    bool operator==(const Entry&) const = default;
};

// Reads a folder with no allocation (a directory stream takes 32 KiB, which a check on every
// input cannot afford); a file counts no entries.
std::optional<Entry> look(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info { };
    Entry entry{path, 0, 0, 0};
    if (fstat(fd, &info) == 0) {
        entry.mode = info.st_mode;
        entry.size = S_ISDIR(info.st_mode) ? 0 : info.st_size;
    }
    alignas(dirent64) char buffer[4096];
    ssize_t got = 0;
    while (S_ISDIR(info.st_mode) && (got = getdents64(fd, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < got; at += reinterpret_cast<const dirent64*>(buffer + at)->d_reclen) {
            const std::string_view name = reinterpret_cast<const dirent64*>(buffer + at)->d_name;
            entry.entries += name != "." && name != "..";
        }
    }
    close(fd);
    return entry;
}

struct FuzzDevice {
    Device device;
    std::vector<Entry> prepared; // every folder and file outside the store, as prepared
    uint64_t freeBytes = 0;
};

// Each input starts on the device as prepared, so what one input wrote neither slows the next
// (a shortcut measures the whole tree) nor changes its answers. Anything an input adds, moves
// or removes shows in the entries or attributes of a prepared folder; only then is the device
// emptied and prepared again.
void prepare(FuzzDevice& fuzz)
{
    const auto unchanged = [&] {
        for (const Entry& entry : fuzz.prepared)
            if (look(entry.path) != entry)
                return false;
        return fuzz.device.FreeBytes() == fuzz.freeBytes;
    };
    if (!fuzz.prepared.empty() && unchanged())
        return;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(deviceRoot(), ignored))
        if (entry.path().filename() != kStoreFolder)
            std::filesystem::remove_all(entry.path(), ignored);
    std::string error;
    if (!fuzz.device.Prepare(error))
        std::abort();
    fuzz.prepared = {*look(deviceRoot().string())};
    for (auto it = std::filesystem::recursive_directory_iterator(deviceRoot()); it != std::filesystem::recursive_directory_iterator();
         ++it) {
        if (it.depth() == 0 && it->path().filename() == kStoreFolder)
            it.disable_recursion_pending();
        else
            fuzz.prepared.push_back(*look(it->path().string()));
    }
    fuzz.freeBytes = fuzz.device.FreeBytes();
}

FuzzDevice& fuzzDevice()
{
    static FuzzDevice* fuzz = [] {
        DeviceConfig config;
        config.root = deviceRoot().string();
        config.freeBytes = 1u << 20; // what the fuzzer writes stays small
        std::filesystem::create_directories(deviceRoot());
        return new FuzzDevice{Device(config), {}, 0};
    }();
    return *fuzz;
}

} // namespace

// Input: requests one after another, each a 16-bit length and that many payload bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzDevice& fuzz = fuzzDevice();
    prepare(fuzz);
    Device& device = fuzz.device;
    Session session;
    size_t at = 0;
    while (at + 2 <= size) {
        const size_t length = std::min<size_t>(data[at] | data[at + 1] << 8, size - at - 2);
        const std::vector<uint8_t> payload(data + at + 2, data + at + 2 + length);
        at += 2 + length;
        MessageReader request(payload);
        const Op op = Op(request.u32());
        if (!request.ok() || op == Op::Invoke || op == Op::Hello || op == Op::Status || op == Op::Stop)
            continue;
        device.Handle(session, op, request);
    }
    return 0;
}
