#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The light markers a note's plain text may begin its lines with: "- [ ] " and "- [x] " make
// a checklist item, "- " and "* " a bullet, after any indent. The text stays as typed; the
// views draw a box or a bullet for the marker.
namespace checklist {

struct Marker {
    enum class Kind { None, Open, Done, Bullet };
    Kind kind = Kind::None;
    qsizetype length = 0; // the indent and the marker, with its space
    // Where the box's "[ ]" or the bullet's sign starts.
    qsizetype sign = 0;
    bool item() const { return kind == Kind::Open || kind == Kind::Done; }
};

Marker markerOf(QStringView line);

// The line as a card or a list row shows it: "☐ milk", "☑ eggs", "• bread".
QString shown(QStringView line);
// The line's words without its marker, as a title reads it.
QString plain(QStringView line);

struct Progress {
    int done = 0;
    int items = 0;
};
// How many of the text's items are ticked; none for a text without items.
std::optional<Progress> progress(QStringView text);

} // namespace checklist
