// quibo-handheld's command line:
//   start --root DIR [--processor N] [--screen WxHxBITS] [--free BYTES] [--answer-delay MS]
//   stop | status | run PATH
#pragma once

#include "device.h"

#include <optional>
#include <string>
#include <vector>

namespace handheld {

struct Command {
    enum Verb { Start, Stop, Status, Run } verb = Status;
    DeviceConfig config; // start (root as given)
    std::string programPath; // run, in the device's form
};

// The command, or nothing with a message in `error`.
std::optional<Command> ParseCommandLine(const std::vector<std::string>& arguments, std::string& error);

extern const char kUsage[];

} // namespace handheld
