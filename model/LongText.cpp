#include "model/LongText.h"

#include <QCoreApplication>
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
    return QCoreApplication::translate("Note", "Too long to edit here: the first %1 of %2 "
                                               "characters are shown. All of it is kept and "
                                               "saved.")
               .arg(locale.toString(cut), locale.toString(text.size())) +
           QStringLiteral("\n\n") + text.left(cut);
}

} // namespace longtext
