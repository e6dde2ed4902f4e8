#pragma once

#include "platform/ImageSources.h"

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>

namespace imagesources {

// Starts the capture child (startCaptureChild, or a stand-in).
using HelperStarter = std::function<bool(const QStringList& arguments,
                                         std::function<void()> finished, QString* error)>;

struct PortalCapture {
    QDBusConnection bus;
    CaptureMethod method = CaptureMethod::PortalScreen;
    std::chrono::milliseconds timeout{std::chrono::minutes(1)};
    HelperStarter startHelper; // empty: the capture child
};
// A capture through the Screenshot portal; the same contract as launchCapture, started.
void capturePortal(const PortalCapture& how, const QString& file, std::function<void()> finished);

} // namespace imagesources
