#include "windows/ReminderMenu.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDateTimeEdit>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace reminderMenu {

QMenu* add(QMenu& parent, const QString& title, const QList<Choice>& choices,
           const QDateTime& start, bool removable, Chosen chosen)
{
    QMenu* menu = parent.addMenu(title);
    for (const auto& [label, at] : choices) {
        QAction* action = menu->addAction(label);
        action->setEnabled(at.has_value());
        QObject::connect(action, &QAction::triggered, menu, [chosen, at = at] { chosen(at); });
    }
    menu->addSeparator();
    QObject::connect(
        menu->addAction(QCoreApplication::translate("Reminder", "Choose Date and Time…")),
        &QAction::triggered, menu, [chosen, start] {
            // Once the menu has closed: two popups do not share the pointer.
            QTimer::singleShot(0, [chosen, start] { pick(start, chosen); });
        });
    if (removable) {
        QObject::connect(
            menu->addAction(QCoreApplication::translate("Reminder", "Remove Reminder")),
            &QAction::triggered, menu, [chosen] { chosen(std::nullopt); });
    }
    return menu;
}

void addBoth(QMenu& parent, const QList<Choice>& choices, const QDateTime& start, bool reminded,
             Chosen remind, std::function<void(const QDateTime& at)> tuckUntil)
{
    add(parent, QCoreApplication::translate("Reminder", "Remind Me…"), choices, start, reminded,
        std::move(remind));
    add(parent, QCoreApplication::translate("Reminder", "Tuck Until…"), choices, start, false,
        [tuckUntil = std::move(tuckUntil)](const std::optional<QDateTime>& at) {
            if (at) {
                tuckUntil(*at);
            }
        });
}

void pick(const QDateTime& start, Chosen chosen)
{
    // A dialog, so that Return presses "Set"; a popup, so that a click elsewhere dismisses it.
    auto* popover = new QDialog(nullptr, Qt::Popup);
    popover->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QHBoxLayout(popover);
    // Whole minutes: the seconds are not shown, so they are not kept either.
    QDateTime shown = start.toLocalTime();
    shown.setTime(QTime(shown.time().hour(), shown.time().minute()));
    auto* edit = new QDateTimeEdit(shown, popover);
    edit->setCalendarPopup(true);
    const QLocale locale;
    edit->setDisplayFormat(locale.dateFormat(QLocale::ShortFormat) + u' ' +
                           locale.timeFormat(QLocale::ShortFormat).remove(QStringLiteral(":ss")));
    auto* set = new QPushButton(QCoreApplication::translate("Reminder", "Set"), popover);
    set->setDefault(true);
    layout->addWidget(edit);
    layout->addWidget(set);
    QObject::connect(set, &QPushButton::clicked, popover, [popover, edit, chosen] {
        const QDateTime at = edit->dateTime().toUTC();
        popover->close();
        chosen(at);
    });
    popover->adjustSize();
    // At the pointer, wholly on its screen.
    QPoint at = QCursor::pos();
    if (const QScreen* screen = QGuiApplication::screenAt(at)) {
        const QRect room = screen->availableGeometry();
        at.setX(std::max(room.left(), std::min(at.x(), room.right() - popover->width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.bottom() - popover->height())));
    }
    popover->move(at);
    popover->show();
    edit->setFocus();
}

} // namespace reminderMenu
