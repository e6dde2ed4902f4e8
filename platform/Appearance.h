#pragma once

#include <QObject>
#include <optional>

class QDBusVariant;

namespace platform {

// Whether the desktop wants dark windows. Where a desktop portal runs, its colour-scheme
// setting decides and is followed live; elsewhere (or when it states no preference) the
// toolkit's palette, as the platform theme set it, tells by the lightness of its windows.
class Appearance : public QObject {
    Q_OBJECT
public:
    explicit Appearance(QObject* parent = nullptr);

    bool dark() const { return dark_; }

Q_SIGNALS:
    void darkChanged(bool dark);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void settingChanged(const QString& space, const QString& key, const QDBusVariant& value);

private:
    void askPortal();
    void schemeKnown(const QVariant& value);
    void update();

    std::optional<bool> portalDark_; // unset: no portal, or no preference
    bool dark_ = false;
};

} // namespace platform
