// Starting and stopping a quibo-handheld for a test, in the test's private runtime folder.
#pragma once

#include <string>
#include <vector>

// Runs quibo-handheld with the arguments; its exit status, its output in `output`.
int RunHandheld(const std::vector<std::string>& arguments, std::string* output = nullptr);

// A device in a fresh folder, started on construction and stopped on destruction.
class RunningDevice {
public:
    explicit RunningDevice(const std::vector<std::string>& options = {});
    ~RunningDevice();
    RunningDevice(const RunningDevice&) = delete;
    RunningDevice& operator=(const RunningDevice&) = delete;

    const std::string& root() const { return root_; }
    bool started() const { return started_; }
    // The device's state; with `awaited`, asks again (bounded) until the state is that.
    std::string status(const std::string& awaited = "");

private:
    std::string root_;
    bool started_ = false;
};

// Connects this program's librapi to the running device within `timeoutMs`.
bool ConnectRapi(unsigned timeoutMs);
void DisconnectRapi();
