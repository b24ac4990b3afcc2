#include "trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void defaultSink(const char* line)
{
    static const bool enabled = [] {
        const char* v = std::getenv("QUIBO_TRACE");
        return v && *v && std::strcmp(v, "0") != 0;
    }();
    if (enabled)
        std::fprintf(stderr, "%s\n", line);
}

std::atomic<TraceSink> g_sink{defaultSink};

} // namespace

void Trace(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    g_sink.load()(line);
}

TraceSink SetTraceSink(TraceSink sink)
{
    TraceSink previous = g_sink.exchange(sink ? sink : defaultSink);
    return previous == defaultSink ? nullptr : previous;
}
