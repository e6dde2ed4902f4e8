// The notes file format: a compact JSON array of note records. Writing is by hand into one
// buffer because every keystroke rewrites the whole file; reading goes through QJsonDocument.

#include "model/NoteGeometry.h"
#include "model/Store.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <cmath>

namespace Store {

namespace {

// 2001-01-01 00:00:00 UTC, where the file's dates count from.
constexpr qint64 referenceMs = 978307200000LL;
// Dates further out than this (about 30,000 years) cannot be real; beyond it a millisecond
// clock no longer carries them through a save unchanged.
constexpr double maxDateSeconds = 1e12;

class Writer {
public:
    explicit Writer(qsizetype expected) { buf_.resize(expected); }

    void text(std::string_view s)
    {
        char* p = room(static_cast<qsizetype>(s.size()));
        std::memcpy(p, s.data(), s.size());
        used_ += static_cast<qsizetype>(s.size());
    }

    void boolean(bool v) { text(v ? "true" : "false"); }

    bool number(double v)
    {
        if (!std::isfinite(v)) {
            return false;
        }
        constexpr qsizetype maxChars = 32;
        char* p = room(maxChars);
        const auto result = std::to_chars(p, p + maxChars, v);
        used_ += result.ptr - p;
        return true;
    }

    void string(const QString& s);
    void uuid(const QUuid& id);

    QByteArray take()
    {
        buf_.resize(used_);
        return std::move(buf_);
    }

private:
    char* room(qsizetype n)
    {
        if (used_ + n > buf_.size()) {
            buf_.resize(std::max(buf_.size() * 2, used_ + n));
        }
        return buf_.data() + used_;
    }

    QByteArray buf_;
    qsizetype used_ = 0;
};

void Writer::string(const QString& s)
{
    // Six bytes per UTF-16 unit covers the longest form, a \u00XX escape.
    char* const start = room(s.size() * 6 + 2);
    char* p = start;
    static constexpr char hex[] = "0123456789abcdef";
    *p++ = '"';
    const auto* u = reinterpret_cast<const char16_t*>(s.utf16());
    const char16_t* const end = u + s.size();
    for (; u < end; ++u) {
        const char16_t c = *u;
        if (c < 0x80) {
            switch (c) {
            case u'"':
                *p++ = '\\';
                *p++ = '"';
                break;
            case u'\\':
                *p++ = '\\';
                *p++ = '\\';
                break;
            case u'/':
                *p++ = '\\';
                *p++ = '/';
                break;
            case u'\n':
                *p++ = '\\';
                *p++ = 'n';
                break;
            case u'\r':
                *p++ = '\\';
                *p++ = 'r';
                break;
            case u'\t':
                *p++ = '\\';
                *p++ = 't';
                break;
            case u'\b':
                *p++ = '\\';
                *p++ = 'b';
                break;
            case u'\f':
                *p++ = '\\';
                *p++ = 'f';
                break;
            default:
                if (c < 0x20) {
                    *p++ = '\\';
                    *p++ = 'u';
                    *p++ = '0';
                    *p++ = '0';
                    *p++ = hex[c >> 4];
                    *p++ = hex[c & 0xf];
                } else {
                    *p++ = static_cast<char>(c);
                }
            }
        } else if (c < 0x800) {
            *p++ = static_cast<char>(0xc0 | (c >> 6));
            *p++ = static_cast<char>(0x80 | (c & 0x3f));
        } else if (QChar::isHighSurrogate(c) && u + 1 < end && QChar::isLowSurrogate(u[1])) {
            const char32_t cp = QChar::surrogateToUcs4(c, u[1]);
            ++u;
            *p++ = static_cast<char>(0xf0 | (cp >> 18));
            *p++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3f));
            *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
            *p++ = static_cast<char>(0x80 | (cp & 0x3f));
        } else if (QChar::isSurrogate(c) || c == 0xfeff) {
            // A lone surrogate has no UTF-8 form, and the reader drops a U+FEFF that opens a
            // string as a byte-order mark: as escapes both come back as they were.
            *p++ = '\\';
            *p++ = 'u';
            *p++ = hex[c >> 12];
            *p++ = hex[(c >> 8) & 0xf];
            *p++ = hex[(c >> 4) & 0xf];
            *p++ = hex[c & 0xf];
        } else {
            const char32_t cp = c;
            *p++ = static_cast<char>(0xe0 | (cp >> 12));
            *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
            *p++ = static_cast<char>(0x80 | (cp & 0x3f));
        }
    }
    *p++ = '"';
    used_ += p - start;
}

void Writer::uuid(const QUuid& id)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const QByteArray raw = id.toRfc4122();
    char* const start = room(38);
    char* p = start;
    *p++ = '"';
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            *p++ = '-';
        }
        const auto b = static_cast<unsigned char>(raw[i]);
        *p++ = hex[b >> 4];
        *p++ = hex[b & 0xf];
    }
    *p++ = '"';
    used_ += p - start;
}

// Keys in order (the map's), so that equal versions are equal bytes on every computer.
void writeVersions(Writer& w, const Versions& versions)
{
    if (versions.isEmpty()) {
        return;
    }
    w.text(",\"versions\":{");
    for (auto it = versions.cbegin(); it != versions.cend(); ++it) {
        if (it != versions.cbegin()) {
            w.text(",");
        }
        w.string(it.key());
        w.text(":");
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, it.value()).ptr;
        w.text(std::string_view(digits, size_t(end - digits)));
    }
    w.text("}");
}

// Encodes one record; returns the name of the offending key, or nullptr when all is well.
const char* writeRecord(Writer& w, const NoteData& r)
{
    const auto date = [&w](const QDateTime& d) {
        return d.isValid() && w.number(double(d.toMSecsSinceEpoch() - referenceMs) / 1000.0);
    };
    w.text("{\"id\":");
    w.uuid(r.id);
    w.text(",\"text\":");
    w.string(r.text);
    w.text(",\"folded\":");
    w.boolean(r.folded);
    w.text(",\"onScreen\":");
    w.boolean(r.onScreen);
    w.text(",\"x\":");
    if (!w.number(r.x)) {
        return "x";
    }
    w.text(",\"y\":");
    if (!w.number(r.y)) {
        return "y";
    }
    if (r.color) {
        w.text(",\"color\":");
        w.string(*r.color);
    }
    if (r.folder) {
        w.text(",\"folder\":");
        w.string(*r.folder);
    }
    if (r.pinned) {
        w.text(",\"pinned\":");
        w.boolean(*r.pinned);
    }
    if (r.created) {
        w.text(",\"created\":");
        if (!date(*r.created)) {
            return "created";
        }
    }
    if (r.modified) {
        w.text(",\"modified\":");
        if (!date(*r.modified)) {
            return "modified";
        }
    }
    if (r.deletedAt) {
        w.text(",\"deletedAt\":");
        if (!date(*r.deletedAt)) {
            return "deletedAt";
        }
    }
    if (r.remindAt) {
        w.text(",\"remindAt\":");
        if (!date(*r.remindAt)) {
            return "remindAt";
        }
    }
    if (r.images && !r.images->isEmpty()) {
        w.text(",\"images\":[");
        for (qsizetype i = 0; i < r.images->size(); ++i) {
            if (i > 0) {
                w.text(",");
            }
            w.string(r.images->at(i));
        }
        w.text("]");
    }
    if (r.pw) {
        w.text(",\"pw\":");
        if (!w.number(*r.pw)) {
            return "pw";
        }
    }
    if (r.ph) {
        w.text(",\"ph\":");
        if (!w.number(*r.ph)) {
            return "ph";
        }
    }
    if (r.changed) {
        w.text(",\"changed\":");
        if (!date(*r.changed)) {
            return "changed";
        }
    }
    writeVersions(w, r.versions);
    w.text("}");
    return nullptr;
}

// --- reading

bool isStrictUuid(const QString& s)
{
    if (s.size() != 36) {
        return false;
    }
    for (qsizetype i = 0; i < 36; ++i) {
        const char16_t c = s[i].unicode();
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != u'-') {
                return false;
            }
        } else if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') ||
                     (c >= u'A' && c <= u'F'))) {
            return false;
        }
    }
    return true;
}

bool readDouble(const QJsonValue& v, double& out)
{
    if (!v.isDouble()) {
        return false;
    }
    out = v.toDouble();
    return std::isfinite(out);
}

bool readDate(const QJsonValue& v, QDateTime& out)
{
    double seconds = 0;
    if (!readDouble(v, seconds) || std::abs(seconds) > maxDateSeconds) {
        return false;
    }
    out = QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0) + referenceMs, Qt::UTC);
    return true;
}

bool readImages(const QJsonValue& v, QStringList& out)
{
    if (!v.isArray()) {
        return false;
    }
    const QJsonArray array = v.toArray();
    out.reserve(array.size());
    for (const QJsonValue& item : array) {
        if (!item.isString()) {
            return false;
        }
        out << item.toString();
    }
    return true;
}

// An optional key: absent or null leaves `out` empty; any other value must read cleanly.
template <typename T, typename Read>
bool readOptional(const QJsonObject& o, QLatin1StringView key, std::optional<T>& out, Read read)
{
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull()) {
        return true;
    }
    T value{};
    if (!read(v, value)) {
        return false;
    }
    out = std::move(value);
    return true;
}

// Counts are whole numbers a double carries exactly.
bool readVersions(const QJsonValue& v, Versions& out)
{
    constexpr double largest = 9007199254740992.0; // 2^53
    if (!v.isObject()) {
        return false;
    }
    const QJsonObject counts = v.toObject();
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        double n = 0;
        if (it.key().isEmpty() || !readDouble(it.value(), n) || n < 0 || n > largest ||
            n != std::floor(n)) {
            return false;
        }
        out.insert(it.key(), quint64(n));
    }
    return true;
}

bool readString(const QJsonValue& v, QString& out)
{
    if (!v.isString()) {
        return false;
    }
    out = v.toString();
    return true;
}

bool readBool(const QJsonValue& v, bool& out)
{
    if (!v.isBool()) {
        return false;
    }
    out = v.toBool();
    return true;
}

std::optional<NoteData> readRecord(const QJsonObject& o)
{
    using namespace Qt::Literals::StringLiterals;
    NoteData r;
    QString id;
    if (!readString(o.value("id"_L1), id) || !isStrictUuid(id)) {
        return std::nullopt;
    }
    r.id = QUuid::fromString(id);
    const bool required = readString(o.value("text"_L1), r.text) &&
                          readBool(o.value("folded"_L1), r.folded) &&
                          readBool(o.value("onScreen"_L1), r.onScreen) &&
                          readDouble(o.value("x"_L1), r.x) && readDouble(o.value("y"_L1), r.y);
    const bool optional = readOptional(o, "color"_L1, r.color, readString) &&
                          readOptional(o, "folder"_L1, r.folder, readString) &&
                          readOptional(o, "pinned"_L1, r.pinned, readBool) &&
                          readOptional(o, "created"_L1, r.created, readDate) &&
                          readOptional(o, "modified"_L1, r.modified, readDate) &&
                          readOptional(o, "deletedAt"_L1, r.deletedAt, readDate) &&
                          readOptional(o, "remindAt"_L1, r.remindAt, readDate) &&
                          readOptional(o, "images"_L1, r.images, readImages) &&
                          readOptional(o, "pw"_L1, r.pw, readDouble) &&
                          readOptional(o, "ph"_L1, r.ph, readDouble) &&
                          readOptional(o, "changed"_L1, r.changed, readDate);
    std::optional<Versions> versions;
    if (!required || !optional || !readOptional(o, "versions"_L1, versions, readVersions)) {
        return std::nullopt;
    }
    r.versions = versions.value_or(Versions());
    geometry::keepWithinLimits(r);
    return r;
}

} // namespace

namespace {

// Below this many notes a whole encode takes under a millisecond: no bytes are kept.
constexpr qsizetype reuseFrom = 2000;

bool writeOne(Writer& w, const NoteData& r, QString* error)
{
    const char* key = writeRecord(w, r);
    if (key != nullptr && error != nullptr) {
        *error = QStringLiteral("%1 of note %2 is not a finite number or valid date")
                     .arg(QLatin1StringView(key), r.id.toString(QUuid::WithoutBraces).toUpper());
    }
    return key == nullptr;
}

} // namespace

QByteArray encode(const QList<NoteData>& records, QString* error)
{
    qsizetype expected = 2;
    for (const NoteData& r : records) {
        expected += 300 + r.text.size() * 3;
    }
    Writer w(expected);
    w.text("[");
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (i > 0) {
            w.text(",");
        }
        if (!writeOne(w, records[i], error)) {
            return {};
        }
    }
    w.text("]");
    return w.take();
}

QByteArray Encoder::encode(const QList<NoteData>& records, QString* error)
{
    if (records.size() < reuseFrom) {
        last_.clear();
        return Store::encode(records, error);
    }
    // Notes keep their order from one save to the next; a note added or removed shifts the
    // rest, and then they are found by id.
    std::optional<QHash<QUuid, std::size_t>> byId;
    const auto previous = [&](std::size_t i, const QUuid& id) -> Encoded* {
        if (i < last_.size() && last_[i].record.id == id) {
            return &last_[i];
        }
        if (!byId) {
            byId.emplace();
            for (std::size_t j = 0; j < last_.size(); ++j) {
                byId->insert(last_[j].record.id, j);
            }
        }
        const auto found = byId->constFind(id);
        return found != byId->cend() ? &last_[*found] : nullptr;
    };
    std::vector<Encoded> now;
    now.reserve(records.size());
    qsizetype total = 2;
    for (const NoteData& r : records) {
        Encoded* before = previous(now.size(), r.id);
        if (before != nullptr && before->record == r) {
            now.push_back(std::move(*before));
        } else {
            Writer w(300 + r.text.size() * 3);
            if (!writeOne(w, r, error)) {
                last_.clear();
                return {};
            }
            QByteArray bytes = w.take();
            bytes.squeeze(); // kept until the note changes: without the writer's spare room
            now.push_back({r, std::move(bytes)});
        }
        total += now.back().bytes.size() + 1;
    }
    QByteArray out;
    out.reserve(total);
    out += '[';
    for (std::size_t i = 0; i < now.size(); ++i) {
        out += i > 0 ? QByteArrayView(",") : QByteArrayView();
        out += now[i].bytes;
    }
    out += ']';
    last_ = std::move(now);
    return out;
}

std::optional<QList<NoteData>> decode(const QByteArray& bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) {
        view = view.sliced(3);
    }
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(view.toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isArray()) {
        return std::nullopt;
    }
    const QJsonArray array = doc.array();
    QList<NoteData> records;
    records.reserve(array.size());
    for (const QJsonValue& item : array) {
        if (!item.isObject()) {
            return std::nullopt;
        }
        std::optional<NoteData> record = readRecord(item.toObject());
        if (!record) {
            return std::nullopt;
        }
        records << std::move(*record);
    }
    return records;
}

namespace {

// One complete object cut out of a damaged file, kept when it decodes alone.
void keepIfWhole(QByteArrayView object, QList<NoteData>& records)
{
    const QByteArray alone = "[" + object.toByteArray() + "]";
    if (std::optional<QList<NoteData>> one = decode(alone); one && one->size() == 1) {
        records << one->first();
    }
}

} // namespace

QList<NoteData> salvage(const QByteArray& bytes)
{
    QList<NoteData> records;
    const qsizetype open = bytes.indexOf('[');
    if (open < 0) {
        return records;
    }
    // Walks the array by its brackets, minding strings, and cuts out each object at its top.
    qsizetype depth = 0;
    qsizetype start = -1;
    bool inString = false;
    bool escaped = false;
    for (qsizetype i = open + 1; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            start = depth == 0 && c == '{' ? i : start;
            ++depth;
        } else if (c == '}' || c == ']') {
            if (depth == 0) {
                break; // the end of the array
            }
            if (--depth == 0 && start >= 0) {
                keepIfWhole(QByteArrayView(bytes).sliced(start, i - start + 1), records);
                start = -1;
            }
        }
    }
    return records;
}

} // namespace Store
