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
    ShellExecuteW(nullptr, u"open", Utf8ToUtf16(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
