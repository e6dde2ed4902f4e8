#include "accessibility/WindowTour.h"
#include "app/Identity.h"
#include "dashboard/Sidebar.h"
#include "model/NotesWriter.h"
#include "noteview/NoteView.h"
#include "pad/PadMenu.h"
#include "support/Suites.h"
#include "windows/MainMenu.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEngine>
#include <QSettings>
#include <QXmlStreamReader>
#include <algorithm>

namespace {

struct TextEngine : QPaintEngine {
    using QPaintEngine::QPaintEngine;
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
    Type type() const override { return QPaintEngine::User; }
    QStringList texts;
};

// An image that keeps the text painted on it rather than pixels: rendering a window into it
// gives every string a person would read there, including what the views draw themselves.
struct TextRecorder : QImage {
    using QImage::QImage;
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable TextEngine engine{QPaintEngine::AllFeatures};
};

const QString catalogue = QStringLiteral(QUILLHAVEN_SOURCE_DIR "/i18n/quillhaven_de.ts");

struct Message {
    QString source;
    QString translation;
    bool finished = false;
};

QList<Message> readCatalogue()
{
    QFile file(catalogue);
    QList<Message> messages;
    file.open(QIODevice::ReadOnly); // unreadable: no messages, and the size check fails
    for (QXmlStreamReader xml(&file); !xml.atEnd();) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("message")) {
            messages.append(Message{});
        } else if (xml.name() == QLatin1String("source") && !messages.isEmpty()) {
            messages.last().source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation") && !messages.isEmpty()) {
            messages.last().finished = !xml.attributes().hasAttribute(QLatin1String("type"));
            messages.last().translation = xml.readElementText();
        }
    }
    return messages;
}

// The pattern's matches in the text, lower-cased and sorted.
QStringList matches(const QString& pattern, const QString& text)
{
    QStringList found;
    for (auto it = QRegularExpression(pattern).globalMatch(text); it.hasNext();)
        found << it.next().captured().toLower();
    found.sort();
    return found;
}

QStringList wordsOf(const QString& text)
{
    return matches("\\p{L}+", text);
}

// Every text a person can read in the window and its children: painted text, labels, buttons,
// tooltips, accessible names, placeholders, the items of lists and the actions of menus.
QStringList readableTexts(QWidget* window)
{
    QStringList texts;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        texts << w->toolTip() << w->accessibleName() << w->accessibleDescription();
        if (w->isWindow())
            texts << w->windowTitle();
        if (auto* label = qobject_cast<QLabel*>(w)) {
            texts << label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            texts << button->text();
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            texts << edit->placeholderText();
        } else if (auto* menu = qobject_cast<QMenu*>(w)) {
            texts << menu->title();
        } else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
            for (int row = 0; row < view->model()->rowCount(); ++row) {
                const QModelIndex index = view->model()->index(row, 0);
                for (const int role : {Qt::DisplayRole, Qt::ToolTipRole, Qt::AccessibleTextRole})
                    texts << index.data(role).toString();
            }
        }
        for (QAction* action : w->actions())
            texts << action->text() << action->toolTip();
    }
    if (window->isVisible()) {
        TextRecorder recorder(window->size(), QImage::Format_ARGB32_Premultiplied);
        window->render(&recorder);
        texts << recorder.engine.texts;
    }
    return texts;
}

} // namespace

// The program under a German locale with its German catalogue: every text a person reads in the
// pad, on a note and its menus, in the image viewer and in the dashboard is German. A word that is
// in no German text of the catalogue, no calendar name and no note of the test's own is English
// left behind (or a text that never went through the catalogue).
class GermanTest : public QObject {
    Q_OBJECT
    QSet<QString> known_;

private Q_SLOTS:
    void initTestCase()
    {
        const QLocale german(QLocale::German, QLocale::Germany);
        QLocale::setDefault(german);
        installTranslations(*QCoreApplication::instance(), german);
        for (const Message& message : readCatalogue())
            for (const QString& word : wordsOf(message.translation))
                known_.insert(word);
        for (int i = 1; i <= 12; ++i)
            for (const auto format : {QLocale::LongFormat, QLocale::ShortFormat})
                known_ << german.monthName(i, format).toLower()
                       << german.dayName(std::min(i, 7), format).toLower();
        // "12:00 Uhr", and the search field shows what was typed.
        known_.unite(QSet<QString>{"quillhaven", "uhr", "nichts"});
    }

    // A translator's slip the build would not notice: a message left unfinished or empty, or a
    // placeholder lost, which would print a raw "%1" or drop the number.
    void catalogueIsCompleteAndKeepsItsPlaceholders()
    {
        const QList<Message> messages = readCatalogue();
        QVERIFY2(messages.size() > 50, qPrintable(catalogue));
        for (const Message& message : messages) {
            QVERIFY2(message.finished && !message.translation.isEmpty(),
                     qPrintable(message.source));
            QVERIFY2(matches("%\\d", message.source) == matches("%\\d", message.translation),
                     qPrintable(message.source));
        }
        QVERIFY(aboutText().startsWith(QStringLiteral("Quillhaven " QUILLHAVEN_VERSION "\n")));
        QVERIFY(aboutText().contains("Lizenz: GNU GPL"));
    }

    // Fails on the texts holding a word no German text explains (elided words may be cut
    // short), the notes' own words aside. Default folders are stored in English.
    void everyWindowAndMenuIsGerman()
    {
        Fixture f;
        // Stored in English, shown in German: notes synced with an English computer keep their
        // folders, and a note an older version filed under a German name joins its folder.
        QJsonObject old = Fixture::record(QStringLiteral("filed in German"));
        old["folder"] = QStringLiteral("Arbeit");
        f.writeNotes({Fixture::record(QStringLiteral("filed in English")), old});
        QSettings().setValue(QStringLiteral("folders"),
                             QStringList{"Persönlich", "Arbeit", "Ideen"});
        QStringList texts;
        NoteModel* shown = tour::everyWindow(f, [&](QWidget* window) {
            QVERIFY(window != nullptr);
            texts << readableTexts(window);
        });
        QMenu padMenu;
        fillPadMenu(padMenu, f.app.get());
        texts << readableTexts(&padMenu);
        auto* view = f.app->window(shown)->findChild<NoteView*>();
        QVERIFY(view != nullptr);
        texts << readableTexts(view->sizeMenu().get());
        MainMenu mainMenu;
        for (QMenu* menu : mainMenu.menus())
            texts << readableTexts(menu);
        for (const char* sample :
             {"Alle Notizen zurückholen", "Zuletzt gelöscht", "Wiederherstellen"})
            QVERIFY2(texts.contains(sample), qPrintable(sample));

        for (const NoteModel* note : f.app->notes())
            for (const QString& word : wordsOf(note->text()))
                known_.insert(word);
        QStringList foreign;
        for (const QString& text : texts) {
            const bool elided = text.contains(QChar(0x2026));
            const QStringList words = wordsOf(text);
            const bool german = std::all_of(words.begin(), words.end(), [&](const QString& word) {
                return known_.contains(word) ||
                       (elided && std::any_of(known_.begin(), known_.end(), [&](const QString& k) {
                            return k.startsWith(word);
                        }));
            });
            if (!german && !foreign.contains(text))
                foreign << text;
        }
        QVERIFY2(foreign.isEmpty(), qPrintable(foreign.join(" | ")));

        QCOMPARE(f.app->folders(), (QStringList{"Personal", "Work", "Ideas"}));
        f.app->addFolder(QStringLiteral(" Ideen "));
        QCOMPARE(f.app->folders().size(), 3);
        f.app->save();
        QVERIFY(f.app->writer().drain());
        QCOMPARE(f.savedNotes()[1].toObject()["folder"].toString(), QStringLiteral("Work"));
        const SidebarModel& sidebar = *tour::dashboardOn(*f.app)->sidebarModel();
        const SidebarRow& work = sidebar.row(sidebar.rowOf(NoteFilter::folder("Work")));
        QCOMPARE(work.title, QStringLiteral("Arbeit"));
        QCOMPARE(work.count, 1);

        // At its smallest, with a note in the editor, the dashboard shows every text whole and
        // every control inside the window.
        tour::dashboardOn(*f.app, shown);
        QWidget* window = f.app->dashboardWindow();
        window->resize(window->minimumSize());
        Fixture::settle();
        QSet<QString> own; // the catalogue's texts, some of which end in "…" themselves
        for (const Message& message : readCatalogue())
            own << message.translation;
        for (const QString& text : readableTexts(window))
            QVERIFY2(!text.contains(QChar(0x2026)) || own.contains(text), qPrintable(text));
        for (const QAbstractButton* control : window->findChildren<QAbstractButton*>()) {
            const QRect at(control->mapTo(window, QPoint()), control->size());
            QVERIFY2(!control->isVisibleTo(window) || window->rect().contains(at),
                     qPrintable(control->text()));
        }
    }
};

static RegisterSuite<GermanTest> registered;

#include "GermanTest.moc"
