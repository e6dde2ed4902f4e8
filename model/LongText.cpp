#include "model/LongText.h"

#include <QLocale>

namespace longtext {

QString shownPart(const QString& text)
{
    qsizetype cut = std::min(text.size(), editLimit);
    if (cut > 0 && cut < text.size() && text[cut - 1].isHighSurrogate()) {
        --cut;
    }
    const QLocale locale;
    return text.left(cut) + QStringLiteral("\n\n\u2026 ") + locale.toString(text.size() - cut) +
           QStringLiteral(" more characters are not shown: this note is too long to edit "
                          "here. All of it is kept and saved.");
}

} // namespace longtext
