#include "desktop.h"

#include "run.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>
#include <unistd.h>

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
        std::vector<uint8_t> out;
        if (Run({"xdotool", "search", "--onlyvisible", "--name", name}, &out) == 0 && !out.empty()) {
            std::string id(out.begin(), out.end());
            id = id.substr(0, id.find('\n'));
            // A window may go again between the two questions; then it is looked for anew.
            std::vector<uint8_t> shell;
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

void SavePng(const Image& image, const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::string temporary = path + ".ppm";
    WriteFileBytes(temporary, WritePpm(image));
    Capture({"convert", temporary, path});
    std::filesystem::remove(temporary);
}

void MovePointer(int x, int y)
{
    Capture({"xdotool", "mousemove", std::to_string(x), std::to_string(y)});
}

void ClickAt(int x, int y)
{
    // Down and up a moment apart, as a hand does; a button acts on the release over it.
    MovePointer(x, y);
    Pause(0.05);
    Capture({"xdotool", "mousedown", "1"});
    Pause(0.05);
    Capture({"xdotool", "mouseup", "1"});
}

void PressKey(const std::string& key)
{
    Capture({"xdotool", "key", "--clearmodifiers", key});
}

void TypeText(const std::string& text)
{
    Capture({"xdotool", "type", "--delay", "60", text});
}

void FocusWindow(const std::string& id)
{
    Capture({"xdotool", "windowfocus", id});
}
