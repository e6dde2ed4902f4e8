#pragma once

#include "model/NoteFilter.h"

#include <QHash>
#include <QList>
#include <QString>

class NoteModel;

namespace dash {

// Badge counts of the sidebar rows; the search text never enters them.
class Counts {
public:
    Counts() = default;
    explicit Counts(const QList<NoteModel*>& notes);
    // How many notes `matches` admits for `filter` (tags are not counted: their rows carry no
    // badge).
    int operator()(const NoteFilter& filter) const;

private:
    int all_ = 0;
    int onScreen_ = 0;
    int pinned_ = 0;
    int reminders_ = 0;
    int deleted_ = 0;
    QHash<QString, int> folders_;
    QHash<QString, int> colors_;
};

} // namespace dash
