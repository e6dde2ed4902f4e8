#pragma once

#include "controller/NoteSizes.h"
#include "noteview/NoteView.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QUuid>
#include <memory>

// The shared fixture with its controller made, and one note shown in a view the size of its
// window.
struct NoteViewFixture : Fixture {
    NoteModel* note = nullptr;
    std::unique_ptr<Panel> window;
    NoteView* view = nullptr;

    NoteViewFixture() { launch(); }
    ~NoteViewFixture() { window.reset(); }

    NoteModel* addNote(const QString& text, const QStringList& images = {})
    {
        NoteData data;
        data.id = QUuid::createUuid();
        data.text = text;
        data.onScreen = true;
        data.created = today.addDays(-3);
        data.modified = today.addDays(-2);
        if (!images.isEmpty()) {
            data.images = images;
        }
        note = new NoteModel(data);
        app->setNotes(app->notes() + QList<NoteModel*>{note});
        return note;
    }

    // The view in a note window of its own, as the controller shows it.
    NoteView& showView()
    {
        window = std::make_unique<Panel>(
            QRectF(QPointF(300, 300), QSizeF(app->sizes().winW(note), app->sizes().winH(note))));
        view = new NoteView(note, app.get());
        window->setContent(view);
        window->show();
        settle(); // the offscreen platform exposes a shown window through the event queue
        return *view;
    }
    NoteView& show(const QString& text, const QStringList& images = {})
    {
        addNote(text, images);
        return showView();
    }
};

inline QColor pixel(const QImage& image, QPointF p)
{
    return image.pixelColor(p.toPoint());
}

inline bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance &&
           std::abs(a.alpha() - b.alpha()) <= tolerance;
}

inline QImage grabbed(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels of the two pictures further apart than `tolerance` in some channel, over the area
// both cover.
inline int differingPixels(const QImage& a, const QImage& b, int tolerance)
{
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
        for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
            count += near(a.pixelColor(x, y), b.pixelColor(x, y), tolerance) ? 0 : 1;
        }
    }
    return count;
}
