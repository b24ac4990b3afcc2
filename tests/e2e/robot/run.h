// Running the helper programs the robot sees and acts through (quibo-pack, import, xdotool).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Runs the program with its arguments (each quoted, so the shell takes it as it is) and returns its standard output; throws
// std::runtime_error when it cannot start or exits non-zero.
std::vector<uint8_t> Capture(const std::vector<std::string>& argv);
// As Capture, but a non-zero exit is returned rather than thrown.
int Run(const std::vector<std::string>& argv, std::vector<uint8_t>* output = nullptr);
