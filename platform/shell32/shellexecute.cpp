#include "trace.h"
#include "utf.h"

#include "hostpath.h"
#include "shellapi.h"
#include "windows.h"

#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

// A URL has a scheme of two or more letters before its colon; "C:\x" is a path.
bool isAddress(const std::u16string& target)
{
    const size_t colon = target.find(u':');
    if (colon == std::u16string::npos || colon < 2)
        return false;
    for (size_t i = 0; i < colon; ++i) {
        const char16_t c = target[i];
        const bool schemeChar
            = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
        if (!schemeChar)
            return false;
    }
    return true;
}

bool isOpenVerb(const std::u16string_view verb)
{
    static constexpr std::u16string_view open = u"open";
    if (verb.size() != open.size())
        return false;
    for (size_t i = 0; i < open.size(); ++i)
        if ((verb[i] | 0x20) != open[i])
            return false;
    return true;
}

// Starts the opener through a shell that puts it in the background and ends at once, so the
// caller waits only for that shell, never for the browser. The target travels as an argument,
// never as shell text. $BROWSER may list several programs separated by colons: the first is used.
// Fails when there is no such program.
bool startOpener(const std::string& target)
{
    static const char script[] = "opener=${BROWSER%%:*}; [ -n \"$opener\" ] || opener=xdg-open; "
                                 "command -v ${opener%% *} >/dev/null 2>&1 || exit 127; "
                                 "$opener \"$1\" </dev/null >/dev/null 2>&1 &";
    char* const argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"),           const_cast<char*>(script),
                          const_cast<char*>("sh"),      const_cast<char*>(target.c_str()), nullptr};
    pid_t shell;
    if (posix_spawn(&shell, "/bin/sh", nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    while (waitpid(shell, &status, 0) < 0 && errno == EINTR) { }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

BOOL fail(SHELLEXECUTEINFOW* info, DWORD error)
{
    if (info)
        info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(SE_ERR_NOASSOC));
    SetLastError(error);
    return FALSE;
}

} // namespace

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info)
{
    if (!info || info->cbSize != sizeof(SHELLEXECUTEINFOW)) {
        Trace("ShellExecuteExW: parameter block of %u bytes, expected %zu", info ? info->cbSize : 0u, sizeof(SHELLEXECUTEINFOW));
        return fail(nullptr, ERROR_INVALID_PARAMETER);
    }
    info->hProcess = nullptr;
    if (info->lpVerb && *info->lpVerb && !isOpenVerb(info->lpVerb))
        return fail(info, ERROR_NO_ASSOCIATION);
    if (!info->lpFile || !*info->lpFile)
        return fail(info, ERROR_FILE_NOT_FOUND);

    const std::u16string file(info->lpFile);
    std::string target = isAddress(file) ? Utf16ToUtf8(file) : HostPath(file.c_str());
    if (target.empty())
        return fail(info, GetLastError());
    if (target[0] == '-')
        target = "./" + target; // never an option to the opener
    if (!startOpener(target))
        return fail(info, ERROR_NO_ASSOCIATION);
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(42)); // above 32: success
    return TRUE;
}

HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = hwnd;
    info.lpVerb = verb;
    info.lpFile = file;
    info.lpParameters = parameters;
    info.lpDirectory = directory;
    info.nShow = show;
    ShellExecuteExW(&info);
    return info.hInstApp;
}
