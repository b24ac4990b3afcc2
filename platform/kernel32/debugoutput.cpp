#include "trace.h"
#include "utf.h"

#include "windows.h"

#include <string>

void OutputDebugStringA(LPCSTR text)
{
    if (!text)
        return;
    // Callers end their lines with a line feed; the trace call adds its own.
    std::string line(text);
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    Trace("%s", line.c_str());
}

void OutputDebugStringW(LPCWSTR text)
{
    if (text)
        OutputDebugStringA(Utf16ToUtf8(text).c_str());
}
