// Feeds arbitrary bytes to the notes-file reader. Whatever it accepts must survive a save and
// a second load unchanged, both as bare records and through the live note (the real save path);
// so must what the salvage of a file it refuses recovers.

#include "model/NoteModel.h"
#include "model/Store.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

[[noreturn]] void fail(const char* what, const QString& detail = {})
{
    std::fprintf(stderr, "fuzz_decode: %s %s\n", what, qUtf8Printable(detail));
    std::abort();
}

// What a save is meant to keep: everything, but an empty image list is the same as none (the
// writer leaves out the empty one).
QList<NoteData> normalised(QList<NoteData> records)
{
    for (NoteData& r : records) {
        if (r.images && r.images->isEmpty()) {
            r.images.reset();
        }
    }
    return records;
}

// Fails unless `records` survive a save and a second load unchanged.
void reloads(const QList<NoteData>& records, const char* stage)
{
    QString error;
    const QByteArray bytes = Store::encode(records, &error);
    if (bytes.isEmpty()) {
        fail(stage, QStringLiteral("encode refused: ") + error);
    }
    const std::optional<QList<NoteData>> again = Store::decode(bytes);
    if (!again) {
        fail(stage, QStringLiteral("own output unreadable: ") + QString::fromUtf8(bytes.left(400)));
    }
    if (Store::encode(*again) != bytes || *again != records) {
        fail(stage, QStringLiteral("changed by a save and load"));
    }
}

// Records the reader can never produce must still be refused by the writer, not written.
void checkRefusals(const NoteData& sample)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const auto refused = [&sample](auto mutate) {
        NoteData r = sample;
        mutate(r);
        QString error;
        return Store::encode({sample, r}, &error).isEmpty() && !error.isEmpty();
    };
    if (!refused([nan](NoteData& r) { r.x = nan; }) ||
        !refused([inf](NoteData& r) { r.y = -inf; }) ||
        !refused([inf](NoteData& r) { r.pw = inf; }) ||
        !refused([nan](NoteData& r) { r.ph = nan; }) ||
        !refused([](NoteData& r) { r.created = QDateTime(); })) {
        fail("a non-finite number or invalid date was written");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QList<NoteData>> first = Store::decode(bytes);
    if (!first) {
        // What a damaged file yields must be as good as any record read whole.
        reloads(normalised(Store::salvage(bytes)), "salvaged:");
        return 0;
    }
    const QList<NoteData> records = normalised(*first);
    reloads(records, "records:");

    // The save path: each record becomes a live note, whose record is what gets written.
    QList<NoteData> saved;
    for (const NoteData& r : records) {
        saved << NoteModel(r).data();
    }
    reloads(saved, "notes:");
    if (!records.isEmpty()) {
        checkRefusals(records.first());
    }
    return 0;
}
