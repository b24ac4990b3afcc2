// The robot's eyes and hands on the X display: screenshots through ImageMagick's `import`,
// pointer and keys through `xdotool`.
#pragma once

#include "image.h"

#include <optional>
#include <string>
#include <vector>

struct WindowBox {
    std::string id;
    int x = 0, y = 0, width = 0, height = 0;
};

// The first visible window whose name matches (a regular expression, as xdotool takes it),
// waiting up to the timeout.
std::optional<WindowBox> FindWindow(const std::string& name, double timeoutSeconds);
// The whole display.
Image Screenshot();
// Runs xdotool with these arguments.
void Xdo(std::vector<std::string> arguments);
void ClickAt(int x, int y);
void Pause(double seconds);
double Now(); // seconds, monotonic
