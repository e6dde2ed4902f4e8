#pragma once

#include <QSize>
#include <QString>

class NoteModel;
struct NoteData;

// The sizes of a note and its window, shared by the controller that places windows and the
// views that lay out inside them. Pure arithmetic on a note's values and its images' sizes.
namespace geometry {

// Transparent margin on every side of the paper inside a note window (shadows, tilt, wobble).
inline constexpr int inset = 40;

inline constexpr double minW = 160;
inline constexpr double maxW = 600;
inline constexpr double minTotal = 120;
inline constexpr double maxPaperH = 800;
// A note with pictures may have shorter paper: its strip adds the rest.
inline constexpr double minPaperHWithImages = 94;

// Farther out than this no screen reaches, and X11 cannot place a window there at all.
inline constexpr double farthest = 20000;

// Keeps a record read from a file (ours, another computer's, this computer's layout) within
// the sizes a note may have and where a window can be: an absurd size would make an invisible
// window covering the screen. Positions are then judged against the screens by whoever shows
// the note.
void keepWithinLimits(NoteData& record);

// The tallest a note may be on a screen of this height.
double maxTotal(double screenHeight);
// Smallest paper height: minTotal, or minPaperHWithImages for a note with pictures.
double minPaperH(const NoteModel* note);
// The height of a picture shown `width` wide, kept between 50 and 260 (60 when unreadable).
double imageHeight(const QString& name, double width);
// The same for a picture still on its way in, from the size its header gives.
double incomingHeight(QSize header, double width);
// The width a note of that paper width shows its pictures at.
double imageWidth(double paperW);
// The device pixels of a picture of `size` as a note of that paper width shows it; pure, so
// the image worker can make the copy the note will show.
QSize imagePixels(QSize size, double paperW, double devicePixelRatio);
// The picture strip of a note: every picture at the paper's width, with its gap.
double stripH(const NoteModel* note);
// Paper plus strip, within [minTotal, maxTotal]; the upper bound wins on a tiny screen.
double totalH(const NoteModel* note, double maxTotal);
// How much of the strip shows below the text at that total height.
double imagesAreaH(const NoteModel* note, double maxTotal);
// The note's window: the paper with the margin all round.
double winW(const NoteModel* note);
double winH(const NoteModel* note, double maxTotal);
// The paper height that holds `text` at the note font, wrapped to the paper's width.
double fittedPaperH(const NoteModel* note);

// How large the notes' text is drawn, a factor of its usual size, the same for every note:
// one of textScales, 1 by default.
inline constexpr double textScales[] = {0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0};
double textScale();
void setTextScale(double scale);
// The note font's pixel size at that scale (14 at 1), and a size of another text scaled alike.
int textPixelSize(int usual = 14);

} // namespace geometry
