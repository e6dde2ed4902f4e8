#include "dashboard/ThemedIcon.h"

#include <QPainter>

namespace dash {

namespace {

const char* themeName(paint::Glyph glyph)
{
    using paint::Glyph;
    switch (glyph) {
    case Glyph::Folder:
        return "folder-symbolic";
    case Glyph::FolderPlus:
        return "folder-new-symbolic";
    case Glyph::Trash:
        return "user-trash-symbolic";
    case Glyph::Photo:
        return "image-x-generic-symbolic";
    case Glyph::Camera:
        return "camera-photo-symbolic";
    case Glyph::ArrowUpToLine:
        return "go-top-symbolic";
    case Glyph::Compose:
        return "document-new-symbolic";
    case Glyph::Plus:
        return "list-add-symbolic";
    case Glyph::Search:
        return "edit-find-symbolic";
    default:
        return nullptr; // no freedesktop counterpart: always painted
    }
}

} // namespace

QIcon themedIcon(paint::Glyph glyph, const QColor& color, int size)
{
    const char* name = themeName(glyph);
    if (name && QIcon::hasThemeIcon(QString::fromLatin1(name))) {
        // A symbolic icon is a shape: drawn in the caller's colour, as the desktop draws it in
        // its text's, it reads on a dark ground as on a light one.
        const QIcon themed = QIcon::fromTheme(QString::fromLatin1(name));
        QIcon tinted;
        for (const int scale : {1, 2}) {
            QImage shape = themed.pixmap(QSize(size, size) * scale)
                               .toImage()
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QPainter p(&shape);
            p.setCompositionMode(QPainter::CompositionMode_SourceIn);
            p.fillRect(shape.rect(), color);
            p.end();
            QPixmap pixmap = QPixmap::fromImage(shape);
            pixmap.setDevicePixelRatio(scale);
            tinted.addPixmap(pixmap);
        }
        return tinted;
    }
    return paint::glyphIcon(glyph, color, size);
}

} // namespace dash
