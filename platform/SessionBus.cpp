#include "platform/SessionBus.h"

#include <QDBusConnection>
#include <QThread>

namespace platform {

void connectSessionBusAhead()
{
    // The toolkit keeps the connection; this thread only asks for it first.
    QThread* thread = QThread::create([] { QDBusConnection::sessionBus(); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

} // namespace platform
