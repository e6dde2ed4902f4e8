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

// The test functions this suite has among `names` ("function" or "function:tag").
QList<QByteArray> functionsOf(const QMetaObject* meta, const QList<QByteArray>& names)
{
    QList<QByteArray> found;
    for (const QByteArray& name : names) {
        const QByteArray function = name.split(':').constFirst();
        const int index = meta->indexOfMethod(function + "()");
        if (index >= 0 && meta->method(index).methodType() == QMetaMethod::Slot) {
            found << name;
        }
    }
    return found;
}

int run(QObject* suite, const QList<QByteArray>& arguments)
{
    std::vector<char*> argv;
    for (const QByteArray& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.constData()));
    }
    return QTest::qExec(suite, int(argv.size()), argv.data());
}

} // namespace

// With no names, every suite runs. A suite's class name runs that suite; a function's name
// runs that function in the suites that have it, so one test runs alone whichever executable
// holds it.
int runSuites(int argc, char** argv)
{
    QList<QByteArray> options{argv[0]};
    QList<QByteArray> names;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (!argument.startsWith('-')) {
            names << argument;
            continue;
        }
        options << argument;
        if (optionsWithValue.contains(argument) && i + 1 < argc) {
            options << argv[++i];
        }
    }
    int failed = 0;
    QSet<QByteArray> used;
    for (const auto& make : suites()) {
        const std::unique_ptr<QObject> suite = make();
        const QByteArray className = suite->metaObject()->className();
        if (names.isEmpty() || names.contains(className)) {
            used << className;
            failed += run(suite.get(), options);
            continue;
        }
        const QList<QByteArray> functions = functionsOf(suite->metaObject(), names);
        if (!functions.isEmpty()) {
            used.unite(QSet<QByteArray>(functions.begin(), functions.end()));
            failed += run(suite.get(), options + functions);
        }
    }
    for (const QByteArray& name : names) {
        if (!used.contains(name)) {
            std::fprintf(stderr, "no suite here has %s\n", name.constData());
            ++failed;
        }
    }
    return failed;
}
