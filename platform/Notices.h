#pragma once

#include <QObject>
#include <QString>

namespace platform {

// What the user must hear about from below the views, such as a screen capture that gave
// nothing: the application shows each notice where the user will see it.
class Notices : public QObject {
    Q_OBJECT
public:
    static Notices& shared();

    void post(const QString& text) { Q_EMIT posted(text); }

Q_SIGNALS:
    void posted(const QString& text);
};

} // namespace platform
