#include "browser.h"

#include "publish.h"
#include "utf.h"

#include <shellapi.h>
#include <windows.h>

void PublishScores()
{
    OpenInBrowser(PublishAddress());
}

void ViewNetScores()
{
    OpenInBrowser(ViewScoresAddress());
}

void OpenInBrowser(const std::string& address)
{
    const std::u16string file = Utf8ToUtf16(address);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.lpVerb = u"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
}
