#pragma once

#include <QString>
#include <functional>

namespace platform {

// Writes one line to stderr and syslog. Every caller passes the whole line, including the
// "Quillhaven: " prefix, so the lines can be searched for exactly as they are written.
void log(const QString& line);

// Tests capture the lines instead; an empty function restores the real sink.
using LogSink = std::function<void(const QString&)>;
void setLogSink(LogSink sink);

} // namespace platform
