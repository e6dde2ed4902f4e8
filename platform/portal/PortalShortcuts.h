#pragma once

#include "platform/HotKeys.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <chrono>
#include <functional>
#include <vector>

// Global shortcuts through the desktop portal (org.freedesktop.portal.GlobalShortcuts): one
// session for the life of the program, the shortcuts bound in it, and the portal's Activated
// signal reported by shortcut id. Desktops that let the user confirm or change the keys do so
// while BindShortcuts is pending.
class PortalShortcuts : public QObject, public ShortcutService {
    Q_OBJECT
public:
    explicit PortalShortcuts(const QDBusConnection& bus, QObject* parent = nullptr);
    ~PortalShortcuts() override;

    void bind(const std::vector<Shortcut>& shortcuts,
              std::function<void(const QString& reason)> done) override;
    void listen(std::function<void(const QString& id)> activated) override;

    // The longest wait for one answer of the portal; the user may be asked to confirm keys.
    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    // The session's path, once it exists.
    const QString& session() const { return session_; }

private Q_SLOTS:
    void onActivated(const QDBusMessage& message);

private:
    using Next = std::function<void(const QString& reason)>;
    void withSession(Next next);
    void createSession();
    void sessionReady(const QString& reason);
    void bindInSession(const std::vector<Shortcut>& shortcuts,
                       std::function<void(const QString& reason)> done);

    QDBusConnection bus_;
    std::chrono::milliseconds timeout_{std::chrono::minutes(2)};
    QString session_;
    std::vector<Next> waiting_; // binds waiting for the session
    std::function<void(const QString& id)> activated_;
};
