#include "options.h"

namespace {

bool parsePort(const std::string& text, int& port)
{
    if (text.empty() || text.size() > 5)
        return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value > 65535)
        return false;
    port = value;
    return true;
}

// "127.0.0.1:8642", "localhost:80", "[::1]:8642".
bool parseListen(const std::string& text, OPTIONS& options)
{
    std::string host;
    std::string port;
    if (!text.empty() && text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':')
            return false;
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else {
        const size_t colon = text.rfind(':');
        if (colon == std::string::npos || text.find(':') != colon)
            return false;
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    if (host.empty() || !parsePort(port, options.port))
        return false;
    options.host = host;
    return true;
}

} // namespace

bool ParseOptions(const std::vector<std::string>& args, OPTIONS& options, std::string& error)
{
    bool listenSeen = false;
    bool storeSeen = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (const size_t equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name != "--listen" && name != "--sqlite" && name != "--postgres") {
            error = "unknown argument " + args[i];
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (name == "--listen") {
            if (listenSeen) {
                error = "--listen given twice";
                return false;
            }
            listenSeen = true;
            if (!parseListen(value, options)) {
                error = "--listen takes ADDRESS:PORT, not " + value;
                return false;
            }
            continue;
        }
        if (storeSeen) {
            error = "give one store: --sqlite FILE or --postgres CONNINFO";
            return false;
        }
        storeSeen = true;
        if (value.empty()) {
            error = name + " needs a value";
            return false;
        }
        options.postgres = name == "--postgres";
        (options.postgres ? options.conninfo : options.sqlitePath) = value;
    }
    return true;
}
