#include "model/FolderNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QTranslator>

namespace FolderNames {

namespace {

constexpr const char* context = "Folders";

// Every shipped translation of each default name, read once from the built-in catalogues.
QHash<QString, QString> translatedDefaults()
{
    QHash<QString, QString> table;
    const QDir catalogues(QStringLiteral(":/i18n"));
    for (const QString& file : catalogues.entryList({QStringLiteral("quillhaven_*.qm")})) {
        QTranslator translator;
        if (!translator.load(catalogues.filePath(file))) {
            continue;
        }
        for (const QString& name : defaults()) {
            const QString translated = translator.translate(context, name.toUtf8().constData());
            if (!translated.isEmpty() && translated != name) {
                table.insert(translated, name);
            }
        }
    }
    return table;
}

// Tab and the Unicode space separators; line breaks are kept.
bool isHorizontalSpace(char32_t c)
{
    return c == U'\t' || QChar::category(c) == QChar::Separator_Space;
}

QString trimHorizontalSpace(const QString& name)
{
    const QList<uint> ucs = name.toUcs4();
    qsizetype begin = 0;
    qsizetype end = ucs.size();
    while (begin < end && isHorizontalSpace(static_cast<char32_t>(ucs[begin]))) {
        ++begin;
    }
    while (end > begin && isHorizontalSpace(static_cast<char32_t>(ucs[end - 1]))) {
        --end;
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(ucs.constData()) + begin,
                             end - begin);
}

} // namespace

const QStringList& defaults()
{
    // The translation tool finds the names here. Built once: every list row asks.
    static const QStringList names{QT_TRANSLATE_NOOP("Folders", "Personal"),
                                   QT_TRANSLATE_NOOP("Folders", "Work"),
                                   QT_TRANSLATE_NOOP("Folders", "Ideas")};
    return names;
}

QString shown(const QString& stored)
{
    return defaults().contains(stored)
               ? QCoreApplication::translate(context, stored.toUtf8().constData())
               : stored;
}

QString stored(const QString& name)
{
    static const QHash<QString, QString> table = translatedDefaults();
    return table.value(name, name);
}

QString typed(const QString& name)
{
    return stored(trimHorizontalSpace(name));
}

} // namespace FolderNames
