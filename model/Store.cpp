#include "model/Store.h"

#include "model/NoteModel.h"
#include "platform/Clock.h"
#include "platform/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>

namespace Store {

namespace {

QMutex& overrideMutex()
{
    static QMutex mutex;
    return mutex;
}

QString& overrideUrl()
{
    static QString path;
    return path;
}

bool fail(const QString& reason)
{
    platform::log(QStringLiteral("Quillhaven: save failed: ") + reason);
    return false;
}

// A free name beside `path` that tells when the file was set aside; never an existing one.
QString asideName(const QString& path)
{
    const QString stamp = platform::now().toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = path + QStringLiteral(".unreadable-") + stamp;
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n) {
        candidate = base + QLatin1Char('-') + QString::number(n);
    }
    return candidate;
}

// The next save would replace a file we could not read, so move it out of the way first:
// whatever is in it stays on disk for the user to recover.
void keepAside(const QString& path)
{
    const QString aside = asideName(path);
    if (QFile::rename(path, aside) || QFile::copy(path, aside)) {
        platform::log(QStringLiteral("Quillhaven: notes file unreadable, kept as ") + aside);
    }
}

} // namespace

QString locateIn(const QString& dataDir)
{
    const QDir base(dataDir);
    const QString folder = base.filePath(QStringLiteral("Quillhaven"));
    const QString legacy = base.filePath(QStringLiteral("Scribbloft"));
    // Only while the new folder does not exist: a rename onto an empty directory would
    // otherwise succeed and replace it.
    if (!QFileInfo::exists(folder)) {
        QDir().rename(legacy, folder);
    }
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("notes.json"));
}

QString url()
{
    {
        const QMutexLocker lock(&overrideMutex());
        if (!overrideUrl().isEmpty()) {
            return overrideUrl();
        }
    }
    static const QString located = [] {
        QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (data.isEmpty()) {
            data = QDir::homePath() + QStringLiteral("/.local/share");
        }
        return locateIn(data);
    }();
    return located;
}

void setUrlForTesting(const QString& path)
{
    const QMutexLocker lock(&overrideMutex());
    overrideUrl() = path;
}

QList<NoteModel*> load(AppController* app)
{
    const QString path = url();
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    std::optional<QList<NoteData>> records;
    if (file.open(QIODevice::ReadOnly)) {
        records = decode(file.readAll());
        file.close();
    }
    if (!records) {
        keepAside(path);
        return {};
    }
    QList<NoteModel*> notes;
    notes.reserve(records->size());
    for (const NoteData& record : std::as_const(*records)) {
        notes << new NoteModel(record, app);
    }
    return notes;
}

bool save(const QList<NoteModel*>& notes)
{
    QList<NoteData> records;
    records.reserve(notes.size());
    for (const NoteModel* note : notes) {
        records << note->data();
    }
    QString error;
    const QByteArray bytes = encode(records, &error);
    if (bytes.isEmpty()) {
        return fail(error);
    }
    QSaveFile file(url());
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit()) {
        return fail(file.errorString());
    }
    return true;
}

} // namespace Store
