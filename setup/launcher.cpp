#include "launcher.h"

#include "hostfolders.h"

namespace {

// A value of a key: line breaks and backslashes escaped.
std::string escapeValue(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

// One argument of Exec: quoted, with the characters the quoting reserves escaped and "%"
// doubled; escapeValue then doubles the backslashes once more.
std::string quotedArgument(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        if (c == '%')
            out += '%';
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string LauncherText(std::string_view name, std::string_view executable)
{
    const std::string_view folder = executable.substr(0, executable.find_last_of('/'));
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Version=1.0\n";
    text += "Name=" + escapeValue(name) + "\n";
    text += "Exec=" + escapeValue(quotedArgument(executable)) + "\n";
    text += "Path=" + escapeValue(folder) + "\n";
    text += "Terminal=false\n"
            "Categories=Game;CardGame;\n";
    return text;
}

std::string LauncherFileName(std::string_view name)
{
    std::string file = "zelnor-";
    for (char c : name) {
        if (c >= 'A' && c <= 'Z')
            file += char(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            file += c;
        else
            file += '-';
    }
    return file + ".desktop";
}

std::string LauncherFolder()
{
    const std::string data = HostDataFolder();
    return data.substr(0, data.find_last_of('/')) + "/applications";
}
