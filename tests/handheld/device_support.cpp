#include "device_support.h"

#include "child_process.h"
#include "protocol.h"
#include "test_env.h"

#include "hostfolders.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

// A test that dies (a sanitizer report, a crash) never reaches its device's destructor; so
// that no device outlives it, dying sends the stop request. Only calls safe in a signal.
sockaddr_un g_device{};
uint8_t g_stop[8];

void stopDeviceOnDeath()
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&g_device), sizeof g_device) == 0) [[maybe_unused]]
        const ssize_t sent = write(fd, g_stop, sizeof g_stop);
    close(fd);
}

void onFatalSignal(int signal)
{
    stopDeviceOnDeath();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void stopDeviceIfThisProgramDies()
{
    [[maybe_unused]] static const bool armed = [] {
        const std::string path = handheld::SocketPath(HostRuntimeFolder());
        g_device.sun_family = AF_UNIX;
        std::memcpy(g_device.sun_path, path.c_str(), std::min(path.size() + 1, sizeof g_device.sun_path - 1));
        std::vector<uint8_t> frame = handheld::MessageWriter().u32(4).u32(uint32_t(handheld::Op::Stop)).payload();
        std::memcpy(g_stop, frame.data(), sizeof g_stop);
        for (int signal : {SIGABRT, SIGSEGV, SIGBUS})
            std::signal(signal, onFatalSignal);
#ifdef __SANITIZE_ADDRESS__
        __sanitizer_set_death_callback(stopDeviceOnDeath);
#endif
        return true;
    }();
}

} // namespace

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
    stopDeviceIfThisProgramDies();
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

std::string RunningDevice::status(const std::string& awaited)
{
    std::string output;
    for (int i = 0; i < 100 && (i == 0 || (!awaited.empty() && output != awaited)); ++i)
        RunHandheld({"status"}, &output);
    return output;
}
