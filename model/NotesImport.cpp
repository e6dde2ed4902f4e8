#include "model/NotesImport.h"

#include "model/NotesExport.h"
#include "model/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QUrl>
#include <cmath>

namespace NotesImport {

namespace {

const QStringList papers{"yellow", "pink", "blue", "green"};

// Reads one value as NotesExport writes it: a quoted string with its escapes, else the bare
// text.
QString unquoted(const QString& value)
{
    if (!value.startsWith(u'"') || !value.endsWith(u'"') || value.size() < 2) {
        return value;
    }
    QString out;
    for (qsizetype i = 1; i + 1 < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 2 >= value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == u'n') {
            out += u'\n';
        } else if (next == u't') {
            out += u'\t';
        } else if (next == u'x' && i + 2 < value.size()) {
            out += QChar(value.mid(i + 1, 2).toUShort(nullptr, 16));
            i += 2;
        } else {
            out += next;
        }
    }
    return out;
}

// The quoted items of a flow list: ["a", "b \"c\""].
QStringList items(const QString& value)
{
    static const QRegularExpression item(QStringLiteral(R"("(?:[^"\\]|\\.)*")"));
    QStringList out;
    for (auto it = item.globalMatch(value); it.hasNext();) {
        out << unquoted(it.next().captured());
    }
    return out;
}

QByteArray contents(const QString& path)
{
    QFile file;
    return SafeFiles::openRegular(path, file) ? file.readAll() : QByteArray();
}

QDateTime date(const QString& text)
{
    QDateTime when = QDateTime::fromString(text, Qt::ISODateWithMs);
    return when.isValid() ? when : QDateTime();
}

bool isNoteFile(const QFileInfo& file)
{
    static const QStringList suffixes{"md", "markdown", "txt", "text"};
    return file.isFile() && suffixes.contains(file.suffix().toLower());
}

} // namespace

QString paperFor(const QColor& color)
{
    constexpr int greyBelow = 20;
    if (!color.isValid() || color.hsvSaturation() < greyBelow || color.hsvHue() < 0) {
        return QStringLiteral("yellow");
    }
    static const QMap<QString, int> hues{
        {"yellow", 50}, {"pink", 340}, {"blue", 210}, {"green", 110}};
    QString nearest = QStringLiteral("yellow");
    int best = 360;
    for (auto it = hues.cbegin(); it != hues.cend(); ++it) {
        const int apart = std::abs(color.hsvHue() - it.value());
        const int distance = std::min(apart, 360 - apart);
        if (distance < best) {
            best = distance;
            nearest = it.key();
        }
    }
    return nearest;
}

QUuid idFor(const QString& source)
{
    static const QUuid space =
        QUuid::fromString(QStringLiteral("6c0f4f7e-5b1d-4c0b-9a57-3f1e2d7a9b10"));
    return QUuid::createUuidV5(space, source);
}

Note fromMarkdown(const QByteArray& bytes, const QString& path, const QDateTime& time)
{
    Note note;
    NoteData& r = note.record;
    r.id = idFor(QFileInfo(path).absoluteFilePath());
    r.created = time;
    r.modified = time;
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const qsizetype end = text.indexOf(QStringLiteral("\n---\n"));
    if (!text.startsWith(QStringLiteral("---\n")) || end < 0) {
        // Not ours: the file is the note, without the blank lines around it.
        while (text.endsWith(u'\n') || text.endsWith(u' ')) {
            text.chop(1);
        }
        r.text = text;
        return note;
    }
    QMap<QString, QString> fields;
    for (const QString& line : text.mid(4, end - 4).split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0) {
            fields.insert(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
        }
    }
    QString body = text.mid(end + 5);
    if (body.startsWith(u'\n')) {
        body.remove(0, 1);
    }
    if (body.endsWith(u'\n')) {
        body.chop(1);
    }
    // Pictures were written after the text, in order: taken off from the last one.
    const QStringList pictures = items(fields.value(QStringLiteral("images")));
    for (qsizetype i = pictures.size() - 1; i >= 0; --i) {
        const QString link = QStringLiteral("\n\n![](%1)").arg(NotesExport::linkTo(pictures.at(i)));
        if (body.endsWith(link)) {
            body.chop(link.size());
        }
    }
    for (const QString& picture : pictures) {
        if (!picture.contains(u'/')) {
            note.pictures << QFileInfo(path).dir().filePath(picture);
        }
    }
    r.text = body;
    const QUuid id = QUuid::fromString(fields.value(QStringLiteral("id")));
    if (!id.isNull()) {
        r.id = id;
    }
    const QString color = unquoted(fields.value(QStringLiteral("color")));
    if (!color.isEmpty()) {
        r.color = papers.contains(color) ? color : paperFor(QColor(color));
    }
    if (fields.contains(QStringLiteral("folder"))) {
        r.folder = unquoted(fields.value(QStringLiteral("folder")));
    }
    if (fields.contains(QStringLiteral("pinned"))) {
        r.pinned = fields.value(QStringLiteral("pinned")) == QStringLiteral("true");
    }
    for (const auto& [key, slot] : {std::pair{"created", &r.created}, {"modified", &r.modified}}) {
        const QDateTime when = date(unquoted(fields.value(QLatin1String(key))));
        if (when.isValid()) {
            *slot = when;
        }
    }
    return note;
}

std::optional<Note> fromXpadInfo(const QByteArray& info, const QString& name, const QString& folder)
{
    QMap<QString, QString> fields;
    for (const QByteArray& line : info.split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        const qsizetype space = text.indexOf(u' ');
        if (space > 0) {
            fields.insert(text.left(space), text.mid(space + 1).trimmed());
        }
    }
    const QString content = fields.value(QStringLiteral("content"));
    const QString contentPath = QDir(folder).filePath(content);
    if (content.isEmpty() || content.contains(u'/') || !QFileInfo(contentPath).isFile()) {
        return std::nullopt;
    }
    const QDateTime time = QFileInfo(contentPath).lastModified().toUTC();
    Note note = fromMarkdown(contents(contentPath), contentPath, time);
    note.record.id = idFor(QStringLiteral("xpad:") + name);
    // "rgb(255,238,153)", "rgba(...)", or an older "r g b" of 16-bit values.
    static const QRegularExpression number(QStringLiteral(R"(\d+(?:\.\d+)?)"));
    QList<double> rgb;
    for (auto it = number.globalMatch(fields.value(QStringLiteral("back"))); it.hasNext();) {
        rgb << it.next().captured().toDouble();
    }
    if (rgb.size() >= 3) {
        const double full = std::max({rgb[0], rgb[1], rgb[2]}) > 255 ? 65535 : 255;
        note.record.color = paperFor(
            QColor::fromRgbF(float(rgb[0] / full), float(rgb[1] / full), float(rgb[2] / full)));
    }
    if (fields.value(QStringLiteral("hidden")) != QStringLiteral("1")) {
        note.shownAt = QPoint(fields.value(QStringLiteral("x")).toInt(),
                              fields.value(QStringLiteral("y")).toInt());
    }
    return note;
}

QString xpadFolder()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString base = QDir::isAbsolutePath(config) ? config : QDir::homePath() + "/.config";
    return QDir(base).filePath(QStringLiteral("xpad"));
}

QList<Note> read(const QString& path)
{
    if (path == QStringLiteral("knotes")) {
        return readKNotes();
    }
    const QString where = path == QStringLiteral("xpad") ? xpadFolder() : path;
    const QFileInfo info(where);
    QList<Note> notes;
    if (isNoteFile(info)) {
        notes << fromMarkdown(contents(where), where, info.lastModified().toUTC());
        return notes;
    }
    const QDir dir(where);
    const QStringList pads = dir.entryList({QStringLiteral("info-*")}, QDir::Files, QDir::Name);
    for (const QString& pad : pads) {
        if (auto note = fromXpadInfo(contents(dir.filePath(pad)), pad, where)) {
            notes << *note;
        }
    }
    if (!pads.isEmpty()) {
        return notes;
    }
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name)) {
        if (isNoteFile(file) && file.fileName() != QStringLiteral("index.md")) {
            notes << fromMarkdown(contents(file.filePath()), file.filePath(),
                                  file.lastModified().toUTC());
        }
    }
    return notes;
}

} // namespace NotesImport
