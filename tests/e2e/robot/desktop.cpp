#include "desktop.h"

#include "run.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

int ShellNumber(const std::string& text, const std::string& key)
{
    const size_t at = text.find(key + "=");
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + key.size() + 1);
}

} // namespace

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Pause(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::optional<WindowBox> FindWindow(const std::string& name, double timeoutSeconds)
{
    const double end = Now() + timeoutSeconds;
    do {
        std::vector<uint8_t> out, shell;
        // A window may go again between the two questions; then it is looked for anew.
        if (Run({"xdotool", "search", "--onlyvisible", "--name", name}, &out) == 0 && !out.empty()) {
            const std::string id(out.begin(), std::find(out.begin(), out.end(), '\n'));
            if (Run({"xdotool", "getwindowgeometry", "--shell", id}, &shell) == 0) {
                const std::string text(shell.begin(), shell.end());
                return WindowBox{id, ShellNumber(text, "X"), ShellNumber(text, "Y"), ShellNumber(text, "WIDTH"),
                                 ShellNumber(text, "HEIGHT")};
            }
        }
        Pause(0.2);
    } while (Now() < end);
    return std::nullopt;
}

Image Screenshot()
{
    return ReadPpm(Capture({"import", "-window", "root", "-depth", "8", "ppm:-"}));
}

void Xdo(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    Capture(command);
}

void ClickAt(int x, int y)
{
    // Down and up a moment apart, as a hand does; a button acts on the release over it.
    Xdo({"mousemove", std::to_string(x), std::to_string(y)});
    Pause(0.05);
    Xdo({"mousedown", "1"});
    Pause(0.05);
    Xdo({"mouseup", "1"});
}
