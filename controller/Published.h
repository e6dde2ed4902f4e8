#pragma once

#include <QObject>
#include <functional>

// The controller's values that views observe: before every published assignment (even of an
// equal value) it emits willChange(), then stores the value, then emits changed(field).
class Published : public QObject {
    Q_OBJECT
public:
    enum class Field {
        Notes,
        PadHot,
        Revealed,
        Wobble,
        SavedFlash,
        ClipImage,
        Folders,
        SaveFailure,
        TextScale
    };
    Q_ENUM(Field)

    using QObject::QObject;

    // Tells the views that `field` changes through `assignment`, before and after it.
    void publish(Field field, const std::function<void()>& assignment)
    {
        Q_EMIT willChange();
        assignment();
        Q_EMIT changed(field);
    }

Q_SIGNALS:
    void willChange();
    // After a published value is stored; slots may read motion::currentAnimation().
    void changed(Published::Field field);
};
