#include "Fixture.h"
#include <QElapsedTimer>
#include <QLineEdit>
class TempBench : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tenThousand()
    {
        Fixture f;
        QList<Fixture::Note> many;
        for (int i = 0; i < 10000; ++i) {
            many.push_back({.text = QStringLiteral("Note %1 about #topic%2\nSome more text with milk and bread and lots of words to make it a typical length of a sticky note").arg(i).arg(i % 50), .age = i * 97});
        }
        f.add(many);
        QElapsedTimer t; t.start();
        auto view = f.makeView();
        qDebug() << "build view" << t.elapsed();
        t.restart();
        for (int i = 0; i < 20; ++i) view->refreshNow();
        qDebug() << "full refresh x20" << t.elapsed();
        t.restart();
        for (int i = 0; i < 20; ++i) { view->setSearch(i % 2 ? QStringLiteral("milk") : QStringLiteral("bread")); }
        qDebug() << "search x20" << t.elapsed();
        for (const char* q : {"m", "mi", "mil", "milk", "milkx", ""}) {
            t.restart();
            view->setSearch(QString::fromLatin1(q));
            QCoreApplication::processEvents();
            qDebug() << "search" << q << t.nsecsElapsed() / 1e6 << view->visible().size();
        }
        t.restart();
        f.app->notes()[5]->setText(QStringLiteral("edited #x"));
        Fixture::settle();
        qDebug() << "edit refresh" << t.nsecsElapsed() / 1e6;
    }
};
static RegisterSuite<TempBench> r;
#include "TEMP_Bench.moc"
