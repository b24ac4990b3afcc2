#include "commandline.h"

#include <charconv>
#include <cstdio>

namespace handheld {

const char kUsage[] = "usage: quibo-handheld start --root DIR [--processor N] [--screen WxHxBITS] [--free BYTES] [--answer-delay MS]\n"
                      "       quibo-handheld stop\n"
                      "       quibo-handheld status\n"
                      "       quibo-handheld run PATH\n";

namespace {

template<typename Number> bool parseNumber(const std::string& text, Number& value, Number maximum)
{
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    return !text.empty() && failure == std::errc() && stop == end && value <= maximum;
}

bool parseScreen(const std::string& text, DeviceConfig& config)
{
    int width = 0, height = 0, bits = 0, consumed = 0;
    if (std::sscanf(text.c_str(), "%5dx%5dx%2d%n", &width, &height, &bits, &consumed) != 3 || size_t(consumed) != text.size())
        return false;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return false;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    config.screenWidth = width;
    config.screenHeight = height;
    config.screenBits = bits;
    return true;
}

} // namespace

std::optional<Command> ParseCommandLine(const std::vector<std::string>& arguments, std::string& error)
{
    Command command;
    if (arguments.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const std::string& verb = arguments[0];
    if (verb == "stop" || verb == "status") {
        if (arguments.size() != 1) {
            error = verb + " takes no arguments";
            return std::nullopt;
        }
        command.verb = verb == "stop" ? Command::Stop : Command::Status;
        return command;
    }
    if (verb == "run") {
        if (arguments.size() != 2 || arguments[1].empty()) {
            error = "run takes one program path, in the device's form";
            return std::nullopt;
        }
        command.verb = Command::Run;
        command.programPath = arguments[1];
        return command;
    }
    if (verb != "start") {
        error = "unknown command '" + verb + "'";
        return std::nullopt;
    }
    command.verb = Command::Start;
    for (size_t i = 1; i < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        if (i + 1 >= arguments.size()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        const std::string& value = arguments[i + 1];
        DeviceConfig& c = command.config;
        bool ok = true;
        if (option == "--root") {
            c.root = value;
            ok = !value.empty();
        } else if (option == "--processor") {
            ok = parseNumber(value, c.processor, uint32_t(0xFFFF));
        } else if (option == "--screen") {
            ok = parseScreen(value, c);
        } else if (option == "--free") {
            uint64_t bytes = 0;
            ok = parseNumber(value, bytes, UINT64_MAX);
            c.freeBytes = bytes;
        } else if (option == "--answer-delay") {
            ok = parseNumber(value, c.answerDelayMs, uint32_t(600000));
        } else {
            error = "unknown option '" + option + "'";
            return std::nullopt;
        }
        if (!ok) {
            error = "bad value '" + value + "' for " + option;
            return std::nullopt;
        }
    }
    if (command.config.root.empty()) {
        error = "start needs --root DIR";
        return std::nullopt;
    }
    return command;
}

} // namespace handheld
