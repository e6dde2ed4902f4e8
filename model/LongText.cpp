#include "model/LongText.h"

#include <QLocale>

namespace longtext {

QString shownPart(const QString& text)
{
    qsizetype cut = std::min(text.size(), editLimit);
    if (cut > 0 && cut < text.size() && text[cut - 1].isHighSurrogate()) {
        --cut;
    }
    // Said first, where the note's window opens, not after a hundred thousand characters.
    const QLocale locale;
    return QStringLiteral("Too long to edit here: the first ") + locale.toString(cut) +
           QStringLiteral(" of ") + locale.toString(text.size()) +
           QStringLiteral(" characters are shown. All of it is kept and saved.\n\n") +
           text.left(cut);
}

} // namespace longtext
