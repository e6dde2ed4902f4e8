#include "app/Identity.h"
#include "controller/AppController.h"
#include "dashboard/DashboardView.h"
#include "dashboard/NoteEditor.h"
#include "model/NoteFilter.h"
#include "model/NoteModel.h"
#include "noteview/NoteView.h"
#include "pad/PadMenu.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/MainMenu.h"
#include "windows/Panel.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEngine>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>
#include <algorithm>
#include <climits>

namespace {

struct TextEngine : QPaintEngine {
    TextEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override
    {
    }
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
    Type type() const override { return QPaintEngine::User; }
    QStringList texts;
};

// Outlives the device built on it: the device asks for its engine while it is taken down.
struct TextEngineHolder {
    mutable TextEngine engine;
};

// A paint device that keeps the text painted on it: rendering a window into it gives every
// string a person would read there, including what the views draw themselves.
class TextRecorder : private TextEngineHolder, public QPaintDevice {
public:
    explicit TextRecorder(QSize size)
        : size_(size)
    {
    }
    QPaintEngine* paintEngine() const override { return &engine; }
    const QStringList& texts() const { return engine.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmWidthMM:
            return size_.width() * 254 / 960;
        case PdmHeightMM:
            return size_.height() * 254 / 960;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 96; // dots per inch, logical and physical
        }
    }

private:
    QSize size_;
};

QString catalogue()
{
    return QStringLiteral(QUILLHAVEN_SOURCE_DIR "/i18n/quillhaven_de.ts");
}

struct Message {
    QString source;
    QString translation;
    bool finished = false;
};

QList<Message> readCatalogue()
{
    QFile file(catalogue());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
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

QStringList wordsOf(const QString& text)
{
    static const QRegularExpression letters(QStringLiteral("\\p{L}+"));
    QStringList words;
    for (auto it = letters.globalMatch(text); it.hasNext();) {
        words << it.next().captured().toLower();
    }
    return words;
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
        if (w->isWindow()) {
            texts << w->windowTitle();
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            texts << label->text();
        }
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            texts << button->text();
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            texts << edit->placeholderText();
        }
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            texts << menu->title();
        }
        for (QAction* action : w->actions()) {
            texts << action->text() << action->toolTip();
        }
        if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
            const QAbstractItemModel* model = view->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                const QModelIndex index = model->index(row, 0);
                texts << index.data(Qt::DisplayRole).toString()
                      << index.data(Qt::ToolTipRole).toString()
                      << index.data(Qt::AccessibleTextRole).toString();
            }
        }
    }
    if (window->isVisible()) {
        TextRecorder recorder(window->size());
        window->render(&recorder);
        texts << recorder.texts();
    }
    return texts;
}

QStringList menuTexts(const QMenu& menu)
{
    QStringList texts{menu.title()};
    for (const QAction* action : menu.actions()) {
        texts << action->text() << action->toolTip();
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

    // The texts holding a word no German text explains; elided words may be cut short.
    QStringList foreign(const QStringList& texts) const
    {
        QStringList found;
        for (const QString& text : texts) {
            const bool elided = text.contains(QChar(0x2026));
            const QStringList words = wordsOf(text);
            const bool german = std::all_of(words.begin(), words.end(), [&](const QString& word) {
                return known_.contains(word) ||
                       (elided && std::any_of(known_.begin(), known_.end(), [&](const QString& k) {
                            return k.startsWith(word);
                        }));
            });
            if (!german && !found.contains(text)) {
                found << text;
            }
        }
        return found;
    }

    void knowNote(NoteModel* note, const QString& text)
    {
        note->setText(text);
        for (const QString& word : wordsOf(text)) {
            known_.insert(word);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QLocale german(QLocale::German, QLocale::Germany);
        QLocale::setDefault(german);
        installTranslations(*QCoreApplication::instance(), german);
        for (const Message& message : readCatalogue()) {
            for (const QString& word : wordsOf(message.translation)) {
                known_.insert(word);
            }
        }
        for (int i = 1; i <= 12; ++i) {
            known_.insert(german.monthName(i).toLower());
            known_.insert(german.monthName(i, QLocale::ShortFormat).toLower());
        }
        for (int i = 1; i <= 7; ++i) {
            known_.insert(german.dayName(i).toLower());
            known_.insert(german.dayName(i, QLocale::ShortFormat).toLower());
        }
        known_.insert(QStringLiteral("quillhaven"));
        known_.insert(QStringLiteral("uhr")); // "12:00 Uhr" in some time formats
    }

    // A translator's slip the build would not notice: a message left unfinished or empty, or a
    // placeholder lost, which would print a raw "%1" or drop the number.
    void catalogueIsCompleteAndKeepsItsPlaceholders()
    {
        const QList<Message> messages = readCatalogue();
        QVERIFY2(messages.size() > 50, qPrintable(catalogue()));
        static const QRegularExpression placeholder(QStringLiteral("%\\d"));
        for (const Message& message : messages) {
            QVERIFY2(message.finished && !message.translation.isEmpty(),
                     qPrintable(message.source));
            QStringList wanted;
            QStringList given;
            for (auto it = placeholder.globalMatch(message.source); it.hasNext();) {
                wanted << it.next().captured();
            }
            for (auto it = placeholder.globalMatch(message.translation); it.hasNext();) {
                given << it.next().captured();
            }
            wanted.sort();
            given.sort();
            QVERIFY2(wanted == given, qPrintable(message.source));
        }
    }

    void theCatalogueIsBuiltIn()
    {
        QCOMPARE(QCoreApplication::translate("Pad", "Quit Quillhaven"),
                 QStringLiteral("Quillhaven beenden"));
        QVERIFY(aboutText().startsWith(QStringLiteral("Quillhaven " QUILLHAVEN_VERSION "\n")));
        QVERIFY(aboutText().contains(QStringLiteral("Lizenz: GNU GPL")));
    }

    void padNotesAndTheirMenusAreGerman()
    {
        Fixture f;
        AppController& app = f.startUp();
        knowNote(app.newNote(std::nullopt, QStringLiteral("yellow")),
                 QStringLiteral("Einkaufsliste\nMilch und Brot"));
        knowNote(app.newNote(std::nullopt, QStringLiteral("pink")), QString());
        NoteModel* shown = f.shownNote(QString());
        knowNote(shown, QStringLiteral("Termine #arbeit"));
        app.setRevealed(true);
        app.setPadHot(false);
        Fixture::advance(2.0);
        Fixture::settle();

        QImage picture(80, 60, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        app.addImage(shown, picture);
        app.viewImages(shown, 0);
        Fixture::advance(2.0);
        Fixture::settle();

        QStringList texts = readableTexts(app.padWindow());
        texts << readableTexts(app.window(shown));
        QVERIFY(app.viewerWindow() != nullptr);
        texts << readableTexts(app.viewerWindow());
        QMenu padMenu;
        fillPadMenu(padMenu, &app);
        texts << menuTexts(padMenu);
        auto* view = app.window(shown)->findChild<NoteView*>();
        QVERIFY(view != nullptr);
        texts << menuTexts(*view->sizeMenu());
        const MainMenu mainMenu;
        for (const QMenu* menu : mainMenu.menus()) {
            texts << menuTexts(*menu);
        }
        QVERIFY(texts.contains(QStringLiteral("Alle Notizen zurückholen")));
        QVERIFY2(foreign(texts).isEmpty(), qPrintable(foreign(texts).join(QStringLiteral(" | "))));
    }

    void dashboardIsGermanInEveryPane()
    {
        Fixture f;
        AppController& app = f.startUp();
        NoteModel* note = app.newNote(std::nullopt, QStringLiteral("blue"));
        knowNote(note, QStringLiteral("Reiseplanung\nZüge buchen #urlaub"));
        note->setPinned(true);
        note->setModified(f.today.addDays(-1));
        NoteModel* old = app.newNote(std::nullopt, QStringLiteral("green"));
        knowNote(old, QStringLiteral("Rezepte"));
        old->setModified(f.today.addDays(-20));
        NoteModel* gone = app.newNote(std::nullopt, QStringLiteral("yellow"));
        knowNote(gone, QStringLiteral("Alte Liste"));
        app.trash(gone);
        app.showDashboard();
        Fixture::settle();
        QWidget* window = app.dashboardWindow();
        QVERIFY(window != nullptr);
        auto* dashboard = window->findChild<DashboardView*>();
        QVERIFY(dashboard != nullptr);

        // The empty detail pane, then a note in the editor, then one in Recently Deleted.
        QStringList texts = readableTexts(window);
        dashboard->setSelected(note->id());
        dashboard->refreshNow();
        texts << readableTexts(window);
        dashboard->setFilter(NoteFilter::deleted());
        dashboard->setSelected(gone->id());
        dashboard->refreshNow();
        texts << readableTexts(window);
        known_.insert(QStringLiteral("nichts")); // the search field shows what was typed
        dashboard->setSearch(QStringLiteral("nichts"));
        dashboard->refreshNow();
        texts << readableTexts(window);
        QVERIFY(texts.contains(QStringLiteral("Zuletzt gelöscht")));
        QVERIFY(texts.contains(QStringLiteral("Wiederherstellen")));
        QVERIFY2(foreign(texts).isEmpty(), qPrintable(foreign(texts).join(QStringLiteral(" | "))));
    }
};

static RegisterSuite<GermanTest> registered;

#include "GermanTest.moc"
