#include "platform/Log.h"

#include <cstdio>
#include <syslog.h>

namespace platform {

namespace {
LogSink& sink()
{
    static LogSink installed;
    return installed;
}
} // namespace

void log(const QString& line)
{
    if (sink()) {
        sink()(line);
        return;
    }
    const QByteArray bytes = line.toUtf8();
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
    syslog(LOG_NOTICE, "%s", bytes.constData());
}

void setLogSink(LogSink replacement)
{
    sink() = std::move(replacement);
}

} // namespace platform
