// The device's answers to any sequence of requests a client can send. Remote invocation is
// left out: it runs whatever library it is asked to, which is its purpose.
#include "device.h"

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace handheld;

namespace {

Device& fuzzDevice()
{
    static Device* device = [] {
        char pattern[] = "/tmp/quibo-fuzz-device-XXXXXX";
        const char* root = mkdtemp(pattern);
        if (!root)
            std::abort();
        static std::string folder = root;
        std::atexit([] { std::filesystem::remove_all(folder); });
        DeviceConfig config;
        config.root = folder;
        config.freeBytes = 1u << 20; // what the fuzzer writes stays small
        Device* made = new Device(config);
        std::string error;
        if (!made->Prepare(error))
            std::abort();
        return made;
    }();
    return *device;
}

} // namespace

// Input: requests one after another, each a 16-bit length and that many payload bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Device& device = fuzzDevice();
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
