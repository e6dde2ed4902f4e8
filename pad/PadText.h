#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class NoteModel;

// The pad's words, colours and type.
namespace pad {

// The application font at a size in points of the layout (which may be fractional), for a
// device of the given logical dpi.
QFont systemFont(const QFont& base, double size, bool semibold, double logicalDpi);

// The highlight yellow of "Saved" and of the clipboard offer's rim.
QColor highlight(double alpha = 1);
// The warm red of "Not saved", readable on the pad's black.
QColor warning();

// The header's first line: the hovered card's title, else how many notes are tucked away.
QString titleText(const NoteModel* hovered, int tuckedCount);

struct HintLine {
    QString text;
    QColor color;
};
// `saveFailure`: why the notes are not saved; while it is not empty, "Not saved" takes the
// place of everything but the tuck hint.
HintLine hintLine(bool padHot, bool savedFlash, bool cardHovered, const QString& saveFailure = {});
// In place of the resting hint after a damaged notes file was loaded, for the rest of the run.
HintLine recoveredLine(int recovered);

} // namespace pad
