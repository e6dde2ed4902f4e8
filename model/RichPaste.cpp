#include "model/RichPaste.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QThreadPool>
#include <array>

namespace formatting {

namespace {

// Rich text up to this long is converted on the GUI thread within a frame; longer on a worker.
constexpr qsizetype convertedAtOnce = 4 * 1024;
// Beyond this a paste stays plain text: the conversion would take seconds.
constexpr qsizetype longestHtml = 1024 * 1024;

// The layout engine drops form controls, so checkboxes are kept as these until the lines are
// read (characters of the private use area, which a pasted text does not carry).
constexpr QChar openBox = QChar(0xE000);
constexpr QChar tickedBox = QChar(0xE001);

QString keepCheckboxes(QString html)
{
    static const QRegularExpression input(
        QStringLiteral(R"(<input\b[^>]*\btype\s*=\s*["']?checkbox\b[^>]*>)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression checked(QStringLiteral(R"(\schecked(?=[\s=/>]))"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& m : input.globalMatch(html)) {
        out += QStringView(html).mid(from, m.capturedStart() - from);
        out += m.captured().contains(checked) ? tickedBox : openBox;
        from = m.capturedEnd();
    }
    return out + html.mid(from);
}

enum Flag : unsigned { Bold = 1, Italic = 2, Strike = 4 };
constexpr std::array markers{std::pair{Bold, "**"}, std::pair{Italic, "*"},
                             std::pair{Strike, "~~"}};

unsigned flagsOf(const QTextCharFormat& f, bool heading)
{
    return (!heading && f.fontWeight() >= QFont::DemiBold ? Bold : 0u) |
           (f.fontItalic() ? Italic : 0u) | (f.fontStrikeOut() ? Strike : 0u);
}

// Writes a line's words with the markers of their styles, opened and closed like brackets and
// never with a space just inside them.
class Words {
public:
    void add(const QString& text, unsigned flags)
    {
        if (text.trimmed().isEmpty()) {
            out_ += text; // spaces change no style
            return;
        }
        std::size_t keep = 0;
        while (keep < open_.size() && (flags & open_[keep]) != 0) {
            ++keep;
        }
        while (open_.size() > keep) {
            close(open_.back());
            open_.pop_back();
        }
        qsizetype lead = 0;
        while (text[lead].isSpace()) {
            ++lead;
        }
        out_ += text.left(lead);
        for (const auto& [flag, marker] : markers) {
            if ((flags & flag) != 0 && std::ranges::count(open_, flag) == 0) {
                open_.push_back(flag);
                out_ += QLatin1String(marker);
            }
        }
        out_ += text.mid(lead);
    }

    // A marker never reaches past its line.
    void breakLine()
    {
        closeAll();
        out_ += u'\n';
    }

    QString finish()
    {
        closeAll();
        return out_;
    }

private:
    void closeAll()
    {
        while (!open_.empty()) {
            close(open_.back());
            open_.pop_back();
        }
    }

    void close(unsigned flag)
    {
        qsizetype end = out_.size();
        while (end > 0 && out_[end - 1].isSpace()) {
            --end;
        }
        for (const auto& [f, marker] : markers) {
            if (f == flag) {
                out_.insert(end, QLatin1String(marker));
            }
        }
    }

    QString out_;
    std::vector<unsigned> open_;
};

QString prefixOf(const QTextBlock& block, QString& words)
{
    const QTextBlockFormat format = block.blockFormat();
    QString indent;
    if (const QTextList* list = block.textList()) {
        indent = QString(2 * std::max(0, list->format().indent() - 1), u' ');
    }
    const bool ticked =
        format.marker() == QTextBlockFormat::MarkerType::Checked || words.startsWith(tickedBox);
    const bool box = ticked || format.marker() == QTextBlockFormat::MarkerType::Unchecked ||
                     words.startsWith(openBox);
    if (box) {
        words = words.trimmed().remove(openBox).remove(tickedBox).trimmed();
        return indent + (ticked ? QStringLiteral("- [x] ") : QStringLiteral("- [ ] "));
    }
    if (block.textList() != nullptr) {
        return indent + QStringLiteral("- ");
    }
    const int level = format.headingLevel();
    return level > 0 ? QString(std::min(level, 6), u'#') + u' ' : QString();
}

QString lineOf(const QTextBlock& block)
{
    const bool heading = block.blockFormat().headingLevel() > 0;
    Words words;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QStringList parts = fragment.text().split(QChar::LineSeparator);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) {
                words.breakLine();
            }
            words.add(parts[i], flagsOf(fragment.charFormat(), heading));
        }
    }
    QString text = words.finish();
    text.replace(QChar::Nbsp, u' ');
    const QString prefix = prefixOf(block, text);
    return prefix + text.remove(openBox).remove(tickedBox);
}

} // namespace

QString fromHtml(const QString& html)
{
    if (html.size() > longestHtml) {
        return {};
    }
    QTextDocument document;
    document.setHtml(keepCheckboxes(html));
    QStringList lines;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        lines += lineOf(b);
    }
    return lines.join(u'\n');
}

void paste(QObject* context, const QMimeData& source, std::function<void(const QString&)> insert)
{
    const QString html = source.hasHtml() ? source.html() : QString();
    QString text = source.text();
    if (html.size() <= convertedAtOnce) {
        const QString rich = html.isEmpty() ? QString() : fromHtml(html);
        insert(rich.isNull() ? text : rich);
        return;
    }
    QThreadPool::globalInstance()->start([html, text = std::move(text), context = QPointer(context),
                                          insert = std::move(insert)] {
        const QString rich = fromHtml(html);
        QMetaObject::invokeMethod(qApp, [context, insert, pasted = rich.isNull() ? text : rich] {
            if (context) {
                insert(pasted);
            }
        });
    });
}

} // namespace formatting
