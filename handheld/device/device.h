// The simulated handheld: its folder (the device's "\"), its registry store, its processor,
// screen and free space, and the remote calls it answers. One Device per daemon; sessions
// (one per connected client) hold the handles they opened.
#pragma once

#include "protocol.h"

#include "windows.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace handheld {

struct DeviceConfig {
    std::string root; // host folder, canonical
    uint32_t processor = 5;
    int screenWidth = 240;
    int screenHeight = 320;
    int screenBits = 16;
    std::optional<uint64_t> freeBytes; // none: as much as the host has
    uint32_t answerDelayMs = 0;
};

// A reply's payload, beginning with the device's last error.
inline MessageWriter Reply(uint32_t error)
{
    MessageWriter writer;
    writer.u32(error);
    return writer;
}

// Handles a client opened; whatever it leaves open is closed when it goes.
struct Session {
    std::map<uint32_t, HANDLE> files;
    std::map<uint32_t, HKEY> keys;
    uint32_t nextId = 1;
    bool answered = false;
    ~Session();
};

class Device {
public:
    explicit Device(DeviceConfig config);
    // Points this process's file and registry calls at the device (its folder and store),
    // makes the device's own folders and measures what the folder holds.
    bool Prepare(std::string& error);
    const DeviceConfig& Config() const { return config_; }

    // Answers one request of a session; the reply payload starts with the last error.
    // Requests that do not parse get ERROR_INVALID_PARAMETER.
    std::vector<uint8_t> Handle(Session& session, Op op, MessageReader& request);

    // Waits for the call in progress and refuses to start another: the device is going down.
    void Stop() { lock_.lock(); }

    // Bytes the device can still store.
    uint64_t FreeBytes() const;
    uint64_t StoreBytes() const;

private:
    MessageWriter fileRequest(Session& session, Op op, MessageReader& request);
    MessageWriter registryRequest(Session& session, Op op, MessageReader& request);
    MessageWriter invoke(MessageReader& request);
    // The host path of a device path, or "" (with the last error set) when the device refuses it.
    std::string hostPathOf(const std::u16string& devicePath, std::u16string& canonical);
    void measure();

    DeviceConfig config_;
    std::mutex lock_; // one remote call at a time, as the device's one connection serialises them
    std::atomic<uint64_t> used_{0};
    uint64_t capacity_ = 0;
};

// The device this process is; the device-side GetStoreInformation reads it.
Device* CurrentDevice();
void SetCurrentDevice(Device* device);

} // namespace handheld
