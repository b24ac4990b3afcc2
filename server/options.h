// The command line: quibo-scores [--listen ADDRESS:PORT] [--sqlite FILE | --postgres CONNINFO]
#pragma once

#include <string>
#include <vector>

constexpr const char* QUIBO_SCORES_USAGE = "usage: quibo-scores [--listen ADDRESS:PORT] [--sqlite FILE | --postgres CONNINFO]";

struct OPTIONS {
    std::string host = "127.0.0.1";
    int port = 8642; // 0: any free port, told in the first log line
    bool postgres = false;
    std::string sqlitePath; // empty: "scores.db" in the data folder
    std::string conninfo;
    bool help = false;
};

// Reads the arguments after the program name; false with `error` set when they are wrong.
bool ParseOptions(const std::vector<std::string>& args, OPTIONS& options, std::string& error);
