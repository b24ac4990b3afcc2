#include "desktop.h"

#include "run.h"

#include <chrono>
#include <cstdio>
#include <thread>

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
    for (const double end = Now() + timeoutSeconds;; Pause(0.2)) {
        // A window may go again between finding and measuring it; then it is looked for anew.
        std::vector<uint8_t> out;
        WindowBox box;
        unsigned long id = 0;
        if (Run({"xdotool", "search", "--onlyvisible", "--name", name, "getwindowgeometry", "--shell"}, &out) == 0
            && std::sscanf(std::string(out.begin(), out.end()).c_str(), "WINDOW=%lu X=%d Y=%d WIDTH=%d HEIGHT=%d", &id, &box.x, &box.y,
                           &box.width, &box.height)
                   == 5) {
            box.id = std::to_string(id);
            return box;
        }
        if (Now() >= end)
            return std::nullopt;
    }
}

Image Screenshot()
{
    return ReadPpm(Capture({"import", "-window", "root", "-depth", "8", "ppm:-"}));
}

void Xdo(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "xdotool");
    Capture(arguments);
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
