// quibo-handheld: a simulated handheld that the desktop's remote API (librapi) talks to.
#include "commandline.h"
#include "devicepath.h"
#include "server.h"
#include "utf.h"

#include "hostfolders.h"
#include "hostpath.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace handheld;
namespace fs = std::filesystem;

namespace {

int fail(const std::string& message)
{
    std::fprintf(stderr, "quibo-handheld: %s\n", message.c_str());
    return 1;
}

// Asks the running device something; the reply, or nothing when no device answers.
std::optional<std::vector<uint8_t>> ask(const std::string& runtime, Op op)
{
    const int fd = ConnectToDevice(runtime);
    if (fd < 0)
        return std::nullopt;
    std::vector<uint8_t> answer;
    const bool ok = SendMessage(fd, MessageWriter().u32(uint32_t(op)).payload()) && ReceiveMessage(fd, answer) == ReceiveResult::Ok;
    close(fd);
    return ok ? std::optional(answer) : std::nullopt;
}

int start(DeviceConfig config, const std::string& runtime)
{
    std::error_code error;
    fs::create_directories(config.root, error);
    config.root = fs::canonical(config.root, error).string();
    if (error || !fs::is_directory(config.root))
        return fail("cannot use " + config.root + " as the device folder");

    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return fail("cannot start the device");
    const pid_t child = fork();
    if (child < 0)
        return fail("cannot start the device");
    if (child > 0) {
        close(ready[1]);
        std::string message;
        char buffer[256];
        ssize_t got;
        while ((got = read(ready[0], buffer, sizeof buffer)) > 0)
            message.append(buffer, size_t(got));
        close(ready[0]);
        return message == "ok" ? 0 : fail(message.empty() ? "the device did not start" : message);
    }

    // The device: its own session, its output in the runtime folder.
    close(ready[0]);
    setsid();
    Device device(config);
    Server server(device);
    std::string problem;
    if (!device.Prepare(problem) || !server.Listen(runtime, problem)) {
        [[maybe_unused]] const ssize_t ignored = write(ready[1], problem.data(), problem.size());
        _exit(1);
    }
    SetCurrentDevice(&device);
    const int log = open((runtime + "/quibo-handheld.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    dup2(nothing, 0);
    dup2(log >= 0 ? log : nothing, 1);
    dup2(log >= 0 ? log : nothing, 2);
    [[maybe_unused]] const ssize_t ignored = write(ready[1], "ok", 2);
    close(ready[1]);
    server.Run();
    _exit(0); // sessions still hold threads; the device is gone with the process
}

int stop(const std::string& runtime)
{
    if (!ask(runtime, Op::Stop))
        return 0; // nothing runs: already stopped
    // Stopped once the device has let go of its lock, that is, once its process has ended.
    const int lock = open(LockPath(runtime).c_str(), O_RDONLY | O_CLOEXEC);
    for (int i = 0; lock >= 0 && i < 500; ++i) {
        if (flock(lock, LOCK_SH | LOCK_NB) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (lock >= 0)
        close(lock);
    return 0;
}

int status(const std::string& runtime)
{
    const std::optional<std::vector<uint8_t>> answer = ask(runtime, Op::Status);
    if (!answer) {
        std::puts("stopped");
        return 0;
    }
    MessageReader reader(*answer);
    reader.u32();
    const uint32_t sessions = reader.u32();
    std::puts(reader.complete() && sessions > 0 ? "connected" : "listening");
    return 0;
}

int run(const std::string& programPath, const std::string& runtime)
{
    std::ifstream state(StatePath(runtime));
    std::string line, root, screen;
    while (std::getline(state, line)) {
        if (line.starts_with("root="))
            root = line.substr(5);
        else if (line.starts_with("screen="))
            screen = line.substr(7);
    }
    if (root.empty() || !ask(runtime, Op::Status))
        return fail("no handheld is running; start one with 'quibo-handheld start --root DIR'");
    const std::optional<std::u16string> canonical = CanonicalDevicePath(Utf8ToUtf16(programPath));
    if (!canonical)
        return fail("'" + programPath + "' is no path on the device");
    setenv("QUIBO_DEVICE_ROOT", root.c_str(), 1);
    setenv("QUIBO_DEVICE_SCREEN", screen.c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "/" + kStoreFolder).c_str(), 1);
    const std::string host = HostPath(canonical->c_str());
    if (host.empty() || !InsideFolder(root, host) || !fs::is_regular_file(host))
        return fail("the device has no program " + programPath);
    if (chdir(fs::path(host).parent_path().c_str()) != 0)
        return fail("cannot enter the folder of " + programPath);
    execl(host.c_str(), host.c_str(), static_cast<char*>(nullptr));
    return fail("cannot run " + programPath + ": " + std::strerror(errno));
}

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    const std::optional<Command> command = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!command) {
        std::fprintf(stderr, "quibo-handheld: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    const std::string runtime = HostRuntimeFolder();
    switch (command->verb) {
    case Command::Start: return start(command->config, runtime);
    case Command::Stop: return stop(runtime);
    case Command::Status: return status(runtime);
    case Command::Run: return run(command->programPath, runtime);
    }
    return 1;
}
