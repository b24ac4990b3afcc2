// Stands in for the browser while it lives: BROWSER names a script that writes down the
// address it is asked to open.
#pragma once

#include "test_env.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

class RecordingBrowser {
public:
    RecordingBrowser()
    {
        const std::filesystem::path script = TestRoot() / "recorder.sh";
        const std::string opened = m_opened.string();
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << opened << ".part' && mv '" << opened << ".part' '" << opened
                              << "'\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        std::filesystem::remove(m_opened);
        setenv("BROWSER", script.c_str(), 1);
    }
    ~RecordingBrowser() { unsetenv("BROWSER"); }
    RecordingBrowser(const RecordingBrowser&) = delete;
    RecordingBrowser& operator=(const RecordingBrowser&) = delete;

    // Runs the command and returns the address it asked to open, or "" after a bounded wait:
    // the browser runs on its own.
    template<typename Command> std::string addressOpenedBy(Command command)
    {
        std::filesystem::remove(m_opened);
        command();
        for (int i = 0; i < 500 && !std::filesystem::exists(m_opened); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(m_opened);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path m_opened = TestRoot() / "opened.txt";
};
