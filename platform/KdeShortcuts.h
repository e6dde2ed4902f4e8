#pragma once

#include "platform/HotKeys.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <memory>

// Global shortcuts through KDE's own shortcut service (org.kde.kglobalaccel, which KWin runs
// on a Wayland session even without the rest of Plasma and its portal backend): the program
// registers its actions with their default keys and hears of a press from its component.
class KdeShortcuts : public QObject, public ShortcutService {
    Q_OBJECT
public:
    explicit KdeShortcuts(const QDBusConnection& bus, QObject* parent = nullptr);

    void bind(const std::vector<Shortcut>& shortcuts,
              std::function<void(const QString& reason)> done) override;
    void listen(std::function<void(const QString& id)> activated) override;

    static constexpr const char* component = "quillhaven";

private Q_SLOTS:
    void onPressed(const QString& component, const QString& action, qlonglong timestamp);

private:
    void next(std::vector<QDBusMessage> calls, size_t at,
              std::function<void(const QString& reason)> done);
    QString listenTo(const QDBusMessage& componentReply);

    QDBusConnection bus_;
    std::function<void(const QString& id)> activated_;
};

// Asks the first service and, when it cannot bind, the second; a press from either counts.
class FallbackShortcuts : public ShortcutService {
public:
    FallbackShortcuts(std::unique_ptr<ShortcutService> first,
                      std::unique_ptr<ShortcutService> second);

    void bind(const std::vector<Shortcut>& shortcuts,
              std::function<void(const QString& reason)> done) override;
    void listen(std::function<void(const QString& id)> activated) override;

private:
    std::unique_ptr<ShortcutService> first_;
    std::unique_ptr<ShortcutService> second_;
};
