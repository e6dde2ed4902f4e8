#include "model/NotesImport.h"
#include "model/SafeFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

// KNotes keeps each note as a MIME message in a maildir under its data folder; versions before
// its move to that store kept all notes in one iCalendar file of journal entries.
namespace NotesImport {

namespace {

QByteArray contents(const QString& path)
{
    QFile file;
    return SafeFiles::openRegular(path, file) ? file.readAll() : QByteArray();
}

QString dataHome()
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    return QDir::isAbsolutePath(data) ? data : QDir::homePath() + "/.local/share";
}

// The title first, then the text, unless the text already starts with it.
QString noteText(const QString& title, QString body)
{
    while (body.endsWith(u'\n') || body.endsWith(u' ')) {
        body.chop(1);
    }
    const QString head = title.trimmed();
    return head.isEmpty() || body.startsWith(head) ? body : head + u'\n' + body;
}

Note note(const QString& source, const QString& text, const QDateTime& created,
          const QDateTime& modified)
{
    Note n;
    n.record.id = idFor(source);
    n.record.text = text;
    n.record.created = created;
    n.record.modified = modified.isValid() ? modified : created;
    return n;
}

QByteArray fromQuotedPrintable(const QByteArray& in, bool underscoreIsSpace)
{
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '=' && i + 1 < in.size() && in.at(i + 1) == '\n') {
            ++i; // a soft line break
        } else if (c == '=' && i + 2 < in.size()) {
            bool ok = false;
            const int byte = in.mid(i + 1, 2).toInt(&ok, 16);
            out += ok ? char(byte) : c;
            i += ok ? 2 : 0;
        } else {
            out += underscoreIsSpace && c == '_' ? ' ' : c;
        }
    }
    return out;
}

QString decoded(const QByteArray& bytes, const QByteArray& charset)
{
    QStringDecoder decoder(charset.isEmpty() ? QByteArray("UTF-8") : charset);
    return decoder.isValid() ? decoder.decode(bytes) : QString::fromUtf8(bytes);
}

// A header's words as RFC 2047 writes them: =?charset?B|Q?...?= among plain text.
QString headerText(const QByteArray& value)
{
    QString out;
    qsizetype at = 0;
    while (at < value.size()) {
        const qsizetype start = value.indexOf("=?", at);
        const qsizetype end = start < 0 ? -1 : value.indexOf("?=", start + 2);
        const QList<QByteArray> parts =
            end < 0 ? QList<QByteArray>() : value.mid(start + 2, end - start - 2).split('?');
        if (parts.size() != 3) {
            out += decoded(value.mid(at), {});
            break;
        }
        out += decoded(value.mid(at, start - at).trimmed().isEmpty() && !out.isEmpty()
                           ? QByteArray()
                           : value.mid(at, start - at),
                       {});
        const QByteArray text = parts[1].toUpper() == "B" ? QByteArray::fromBase64(parts[2])
                                                          : fromQuotedPrintable(parts[2], true);
        out += decoded(text, parts[0]);
        at = end + 2;
    }
    return out;
}

QByteArray parameter(const QByteArray& header, const QByteArray& name)
{
    for (const QByteArray& part : header.split(';')) {
        const QByteArray item = part.trimmed();
        if (item.toLower().startsWith(name + '=')) {
            QByteArray value = item.mid(name.size() + 1);
            return value.startsWith('"') ? value.mid(1, value.size() - 2) : value;
        }
    }
    return {};
}

// iCalendar text: folded lines joined, escapes undone.
QString icalText(const QByteArray& value)
{
    QString out;
    const QString text = QString::fromUtf8(value);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\\' && i + 1 < text.size()) {
            const QChar next = text.at(++i);
            out += next == u'n' || next == u'N' ? QChar(u'\n') : next;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

QDateTime icalDate(const QByteArray& value)
{
    QDateTime when =
        QDateTime::fromString(QString::fromLatin1(value.left(15)), "yyyyMMdd'T'HHmmss");
    when.setTimeSpec(Qt::UTC);
    return when;
}

} // namespace

std::optional<Note> fromKNotesMessage(const QByteArray& message, const QString& source,
                                      const QDateTime& time)
{
    QByteArray text = message;
    text.replace("\r\n", "\n");
    const qsizetype split = text.indexOf("\n\n");
    const QByteArray head = split < 0 ? text : text.left(split);
    QByteArray body = split < 0 ? QByteArray() : text.mid(split + 2);
    QMap<QByteArray, QByteArray> headers;
    QByteArray last;
    for (const QByteArray& line : head.split('\n')) {
        if ((line.startsWith(' ') || line.startsWith('\t')) && !last.isEmpty()) {
            headers[last] += ' ' + line.trimmed(); // a folded header goes on
        } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
            last = line.left(colon).trimmed().toLower();
            headers.insert(last, line.mid(colon + 1).trimmed());
        }
    }
    if (!headers.contains("subject") && body.isEmpty()) {
        return std::nullopt;
    }
    const QByteArray encoding = headers.value("content-transfer-encoding").toLower();
    if (encoding == "base64") {
        body = QByteArray::fromBase64(body);
    } else if (encoding == "quoted-printable") {
        body = fromQuotedPrintable(body, false);
    }
    const QByteArray type = headers.value("content-type");
    if (!type.isEmpty() && !type.toLower().startsWith("text/")) {
        return std::nullopt; // a multipart note: its text is not plain to be had
    }
    QDateTime when =
        QDateTime::fromString(QString::fromLatin1(headers.value("date")), Qt::RFC2822Date);
    when = when.isValid() ? when.toUTC() : time;
    const QString plain = decoded(body, parameter(type, "charset"));
    return note(QStringLiteral("knotes:") + source,
                noteText(headerText(headers.value("subject")), plain), when, when);
}

QList<Note> fromKNotesCalendar(const QByteArray& calendar)
{
    QList<QByteArray> lines;
    for (QByteArray line : calendar.split('\n')) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if ((line.startsWith(' ') || line.startsWith('\t')) && !lines.isEmpty()) {
            lines.last() += line.mid(1); // folded: the line goes on
        } else {
            lines << line;
        }
    }
    QList<Note> notes;
    QMap<QByteArray, QByteArray> entry;
    bool inside = false;
    for (const QByteArray& line : lines) {
        if (line == "BEGIN:VJOURNAL") {
            inside = true;
            entry.clear();
        } else if (line == "END:VJOURNAL" && inside) {
            inside = false;
            const QDateTime created = icalDate(entry.value("CREATED", entry.value("DTSTAMP")));
            notes << note(
                QStringLiteral("knotes:") + QString::fromUtf8(entry.value("UID")),
                noteText(icalText(entry.value("SUMMARY")), icalText(entry.value("DESCRIPTION"))),
                created, icalDate(entry.value("LAST-MODIFIED")));
        } else if (const qsizetype colon = line.indexOf(':'); inside && colon > 0) {
            // "NAME;PARAM=...:value": the name alone is the key.
            const QByteArray name = line.left(colon).split(';').first().toUpper();
            entry.insert(name, line.mid(colon + 1));
        }
    }
    return notes;
}

QList<Note> readKNotes()
{
    QList<Note> notes;
    // The maildir's messages sit in cur/ and new/ of its folders.
    QDirIterator it(QDir(dataHome()).filePath(QStringLiteral("notes")), QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        const QString box = file.dir().dirName();
        if (box != QStringLiteral("cur") && box != QStringLiteral("new")) {
            continue;
        }
        // A message's flags follow its name after ":2,": the name without them stays.
        const QString name = file.fileName().section(QStringLiteral(":2,"), 0, 0);
        if (auto n =
                fromKNotesMessage(contents(file.filePath()), name, file.lastModified().toUTC())) {
            notes << *n;
        }
    }
    for (const QString& calendar :
         {QDir(dataHome()).filePath(QStringLiteral("knotes/notes.ics")),
          QDir::homePath() + QStringLiteral("/.kde/share/apps/knotes/notes.ics"),
          QDir::homePath() + QStringLiteral("/.kde4/share/apps/knotes/notes.ics")}) {
        notes << fromKNotesCalendar(contents(calendar));
    }
    return notes;
}

} // namespace NotesImport
