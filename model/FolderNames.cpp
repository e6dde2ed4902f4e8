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

} // namespace

QStringList defaults()
{
    // The translation tool finds the names here.
    return {QT_TRANSLATE_NOOP("Folders", "Personal"), QT_TRANSLATE_NOOP("Folders", "Work"),
            QT_TRANSLATE_NOOP("Folders", "Ideas")};
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

} // namespace FolderNames
