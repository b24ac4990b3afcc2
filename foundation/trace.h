// Debug output: the one call every module uses for diagnostic lines.
//
// Lines go to standard error when tracing is on (the QUIBO_TRACE environment variable is set
// and not "0"), else nowhere. Tests install a sink to read what was traced.
#pragma once

using TraceSink = void (*)(const char* line);

// Formats one line (no trailing newline needed) and hands it to the sink.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the sink; nullptr restores the default. Returns the previous sink.
TraceSink SetTraceSink(TraceSink sink);
