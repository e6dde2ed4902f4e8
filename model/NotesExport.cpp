#include "model/NotesExport.h"

#include "model/DiskFile.h"
#include "model/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QUrl>

namespace NotesExport {

namespace {

constexpr qsizetype longestStem = 60;

// Characters that some file system or Markdown reader takes for something else.
bool refused(QChar c)
{
    static const QString special = QStringLiteral("/\\:*?\"<>|#%[]{}^`");
    return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
           special.contains(c);
}

// A YAML string that reads back as exactly `text`, whatever it holds.
QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\') {
            out += u'\\';
            out += c;
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c == u'\t') {
            out += QStringLiteral("\\t");
        } else if (c.category() == QChar::Other_Control) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out + u'"';
}

QString date(const QDateTime& when)
{
    return when.toUTC().toString(Qt::ISODateWithMs);
}

// Link text in brackets: the brackets and backslashes of a title must not end it.
QString linkText(const QString& title)
{
    QString out;
    for (const QChar c : title) {
        if (c == u'[' || c == u']' || c == u'\\') {
            out += u'\\';
        }
        out += c;
    }
    return out;
}

// A name not yet in `taken` (compared without case), added to it: "stem", "stem 2", ...
QString unique(const QString& stem, const QString& suffix, QSet<QString>& taken)
{
    QString name = stem + suffix;
    for (int n = 2; taken.contains(name.toCaseFolded()); ++n) {
        name = QStringLiteral("%1 %2%3").arg(stem).arg(n).arg(suffix);
    }
    taken.insert(name.toCaseFolded());
    return name;
}

} // namespace

QString stemOf(const QString& title)
{
    QString out;
    for (const QChar c : title) {
        out += refused(c) || c.isSpace() ? QChar(u' ') : c;
    }
    out = out.simplified();
    while (out.startsWith(u'.') || out.startsWith(u'-')) {
        out = out.mid(1).trimmed();
    }
    if (out.size() > longestStem) {
        // Never half a surrogate pair.
        const qsizetype cut =
            out.at(longestStem - 1).isHighSurrogate() ? longestStem - 1 : longestStem;
        out = out.left(cut).trimmed();
    }
    while (out.endsWith(u'.')) {
        out.chop(1);
    }
    return out.isEmpty() ? QStringLiteral("Note") : out;
}

QString linkTo(const QString& fileName)
{
    return QString::fromUtf8(
        QUrl::toPercentEncoding(fileName, QByteArrayLiteral("!$&'*+,;=:@-._~")));
}

QByteArray markdown(const Item& item, const QStringList& pictures)
{
    const NoteData& r = item.record;
    QString out = QStringLiteral("---\n");
    out += QStringLiteral("id: %1\n").arg(r.id.toString(QUuid::WithoutBraces));
    out += QStringLiteral("color: %1\n").arg(quoted(r.color.value_or(QStringLiteral("yellow"))));
    if (r.folder) {
        out += QStringLiteral("folder: %1\n").arg(quoted(*r.folder));
    }
    out += QStringLiteral("pinned: %1\n")
               .arg(r.pinned.value_or(false) ? QStringLiteral("true") : QStringLiteral("false"));
    if (r.created) {
        out += QStringLiteral("created: %1\n").arg(date(*r.created));
    }
    if (r.modified) {
        out += QStringLiteral("modified: %1\n").arg(date(*r.modified));
    }
    if (!item.tags.isEmpty()) {
        QStringList tags;
        for (const QString& tag : item.tags) {
            tags << quoted(tag.startsWith(u'#') ? tag.mid(1) : tag);
        }
        out += QStringLiteral("tags: [%1]\n").arg(tags.join(QStringLiteral(", ")));
    }
    if (!pictures.isEmpty()) {
        QStringList names;
        for (const QString& name : pictures) {
            names << quoted(name);
        }
        out += QStringLiteral("images: [%1]\n").arg(names.join(QStringLiteral(", ")));
    }
    out += QStringLiteral("---\n\n");
    // Exactly the text, then each picture after a blank line, then one line end: an import
    // takes them off again and finds the text as it was, to the last line break.
    out += r.text;
    for (const QString& picture : pictures) {
        out += QStringLiteral("\n\n![](%1)").arg(linkTo(picture));
    }
    return (out + u'\n').toUtf8();
}

QList<File> plan(const QList<Item>& items, const QString& imagesFolder)
{
    QList<File> files;
    QSet<QString> taken{QStringLiteral("index.md")};
    // The index lists the notes outside any folder first, then each folder's.
    QMap<QString, QStringList> byFolder;
    for (const Item& item : items) {
        const QString stem = stemOf(item.title);
        const QString name = unique(stem, QStringLiteral(".md"), taken);
        const QString base = name.chopped(3);
        QStringList pictures;
        const QStringList images = item.record.images.value_or(QStringList());
        for (const QString& image : images) {
            // A picture still on its way from another computer is left out rather than linked
            // broken; a name that would leave the folder is never followed.
            const QString source = imagesFolder + u'/' + image;
            if (image.contains(u'/') || image == QStringLiteral("..") ||
                !QFileInfo(source).isFile()) {
                continue;
            }
            const QString picture =
                unique(QStringLiteral("%1-%2").arg(base).arg(pictures.size() + 1),
                       QStringLiteral(".png"), taken);
            pictures << picture;
            files << File{picture, {}, source};
        }
        files << File{name, markdown(item, pictures), {}};
        byFolder[item.record.folder.value_or(QString())]
            << QStringLiteral("- [%1](%2)").arg(linkText(item.title), linkTo(name));
    }
    QString index = QStringLiteral("# Notes\n");
    for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it) {
        index +=
            it.key().isEmpty() ? QStringLiteral("\n") : QStringLiteral("\n## %1\n\n").arg(it.key());
        index += it.value().join(u'\n') + u'\n';
    }
    files << File{QStringLiteral("index.md"), index.toUtf8(), {}};
    return files;
}

bool write(const QString& folder, const QList<File>& files, QString* error,
           const std::atomic<bool>* cancel)
{
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create the folder");
        return false;
    }
    for (const File& file : files) {
        if (cancel != nullptr && cancel->load()) {
            return false;
        }
        QByteArray bytes = file.bytes;
        if (!file.copyOf.isEmpty()) {
            QFile source;
            if (!SafeFiles::openRegular(file.copyOf, source)) {
                continue;
            }
            bytes = source.readAll();
        }
        if (!DiskFile::replace(folder + u'/' + file.name, bytes, error)) {
            return false;
        }
    }
    return true;
}

} // namespace NotesExport
