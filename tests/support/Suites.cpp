#include "support/Suites.h"

#include <QMetaMethod>
#include <QSet>
#include <QTest>
#include <cstdio>

std::vector<SuiteFactory>& suites()
{
    static std::vector<SuiteFactory> all;
    return all;
}

namespace {

// Qt Test's options that take a value: the value is not a test function's name.
const QSet<QByteArray> optionsWithValue{
    "-o",    "-maxwarnings", "-eventdelay", "-keydelay",     "-mousedelay",
    "-seed", "-iterations",  "-median",     "-minimumvalue", "-minimumtotal"};

int run(QObject* suite, QList<QByteArray> arguments)
{
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    return QTest::qExec(suite, int(argv.size()), argv.data());
}

} // namespace

// With no names, every suite runs. A suite's class name runs that suite; a function's name
// ("function" or "function:tag") runs that function in the suites that have it, so one test
// runs alone whichever executable holds it.
int runSuites(int argc, char** argv)
{
    QList<QByteArray> options{argv[0]}, names;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        (argument.startsWith('-') ? options : names) << argument;
        if (optionsWithValue.contains(argument) && i + 1 < argc)
            options << argv[++i];
    }
    int failed = 0;
    QSet<QByteArray> used;
    for (const auto& make : suites()) {
        const std::unique_ptr<QObject> suite = make();
        const QMetaObject* meta = suite->metaObject();
        QList<QByteArray> functions;
        for (const QByteArray& name : names) {
            const int index = meta->indexOfMethod(name.split(':').constFirst() + "()");
            if (index >= 0 && meta->method(index).methodType() == QMetaMethod::Slot)
                functions << name;
        }
        const bool whole = names.isEmpty() || names.contains(meta->className());
        used.unite(whole ? QSet<QByteArray>{meta->className()}
                         : QSet<QByteArray>(functions.begin(), functions.end()));
        if (whole || !functions.isEmpty())
            failed += run(suite.get(), whole ? options : options + functions);
    }
    for (const QByteArray& name : names) {
        if (!used.contains(name)) {
            std::fprintf(stderr, "no suite here has %s\n", name.constData());
            ++failed;
        }
    }
    return failed;
}
