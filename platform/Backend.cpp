#include "platform/Backend.h"

#include <QGuiApplication>
#include <QProcessEnvironment>
#include <memory>

namespace platform {

namespace {

class NullBackend final : public Backend {
public:
    using Backend::Backend;
    xcb_connection_t* x11Connection() const override { return nullptr; }
    bool hasCompositor() const override { return true; }
    void applyWindowRole(QWidget*, WindowRole) const override {}
    void setInputShape(QWidget*, const QRegion&) const override {}
};

std::unique_ptr<Backend> pick()
{
    const SessionKind kind =
        detectSession(QProcessEnvironment::systemEnvironment(), QGuiApplication::platformName());
    if (kind.display != Display::None) {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 != nullptr && x11->connection() != nullptr) {
            return makeX11Backend(x11->connection(), kind);
        }
    }
    return std::make_unique<NullBackend>(kind);
}

} // namespace

const Backend& session()
{
    if (qGuiApp == nullptr) {
        static const NullBackend none{SessionKind{}};
        return none;
    }
    static const std::unique_ptr<Backend> chosen = pick();
    return *chosen;
}

} // namespace platform
