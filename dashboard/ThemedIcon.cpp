#include "dashboard/ThemedIcon.h"

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
        return QIcon::fromTheme(QString::fromLatin1(name));
    }
    return paint::glyphIcon(glyph, color, size);
}

} // namespace dash
