// The device's listener: accepts clients on its socket, answers each in its own thread, and
// shuts down on a stop request or SIGTERM.
#pragma once

#include "device.h"

#include <string>

namespace handheld {

class Server {
public:
    explicit Server(Device& device) : device_(device) { }
    // Takes the runtime folder's device lock and binds the socket. False (with a message)
    // when another device runs there or the socket cannot be made.
    bool Listen(const std::string& runtimeFolder, std::string& error);
    // Serves until stopped; removes the socket and the state file before returning.
    void Run();

private:
    void serve(int fd);

    Device& device_;
    std::string runtimeFolder_;
    int listener_ = -1;
    int lockFile_ = -1;
};

} // namespace handheld
