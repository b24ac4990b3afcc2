#include "device_support.h"

#include <filesystem>

#include "child_process.h"
#include "test_env.h"

int RunHandheld(const std::vector<std::string>& arguments, std::string* output)
{
    ChildProcess child("quibo-handheld", arguments);
    const std::string text = child.readAll();
    if (output)
        *output = text;
    return child.wait();
}

RunningDevice::RunningDevice(const std::vector<std::string>& options)
{
    static int count = 0;
    root_ = (TestRoot() / ("device" + std::to_string(++count))).string();
    std::vector<std::string> arguments{"start", "--root", root_};
    arguments.insert(arguments.end(), options.begin(), options.end());
    started_ = RunHandheld(arguments) == 0;
    root_ = std::filesystem::weakly_canonical(root_).string();
}

RunningDevice::~RunningDevice()
{
    if (started_)
        RunHandheld({"stop"});
}

std::string RunningDevice::status()
{
    std::string output;
    RunHandheld({"status"}, &output);
    return output;
}
