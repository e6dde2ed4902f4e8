#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

class QMenu;

// The "Remind Me…" and "Tuck Until…" submenus a note's menus share.
namespace reminderMenu {

// One entry: its text and when it sets the reminder to (none: it has passed, shown disabled).
using Choice = std::pair<QString, std::optional<QDateTime>>;
// Gets the time chosen, or none to remove the reminder.
using Chosen = std::function<void(const std::optional<QDateTime>& at)>;

// Adds a submenu titled `title` to `parent`: the choices, then a date and time picked in a
// small popover (starting at `start`), then "Remove Reminder" when `removable`.
QMenu* add(QMenu& parent, const QString& title, const QList<Choice>& choices,
           const QDateTime& start, bool removable, Chosen chosen);

// Both submenus: "Remind Me…" (with "Remove Reminder" when `reminded`) and "Tuck Until…".
void addBoth(QMenu& parent, const QList<Choice>& choices, const QDateTime& start, bool reminded,
             Chosen remind, std::function<void(const QDateTime& at)> tuckUntil);

// The popover alone, at the pointer: a date and time and "Set".
void pick(const QDateTime& start, Chosen chosen);

} // namespace reminderMenu
