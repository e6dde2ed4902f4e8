#include "platform/Speller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <hunspell.hxx>
#include <vector>

namespace platform {

namespace {

// One dictionary and the character set its files are written in.
struct Dictionary {
    std::unique_ptr<Hunspell> hunspell;
    QStringEncoder encode;
    QStringDecoder decode;

    explicit Dictionary(const QString& path)
        : hunspell(std::make_unique<Hunspell>(QFile::encodeName(path + QStringLiteral(".aff")),
                                              QFile::encodeName(path + QStringLiteral(".dic"))))
    {
        const QByteArray name = QByteArray::fromStdString(hunspell->get_dict_encoding());
        encode = QStringEncoder(name.constData(), QStringConverter::Flag::Stateless);
        decode = QStringDecoder(name.constData(), QStringConverter::Flag::Stateless);
        if (!encode.isValid() || !decode.isValid()) {
            encode = QStringEncoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
            decode = QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        }
    }

    // The word in the dictionary's characters; empty when they cannot spell it.
    std::string spelt(const QString& word)
    {
        encode.resetState();
        const QByteArray bytes = encode.encode(word);
        return encode.hasError() ? std::string() : bytes.toStdString();
    }
};

class HunspellSpeller final : public Speller {
public:
    HunspellSpeller(const QStringList& dictionaries, QString personalList)
        : personalList_(std::move(personalList))
    {
        for (const QString& path : dictionaries) {
            dictionaries_.emplace_back(path);
        }
        QFile own(personalList_);
        if (!personalList_.isEmpty() && own.open(QIODevice::ReadOnly)) {
            for (const QString& line : QString::fromUtf8(own.readAll()).split(u'\n')) {
                ignore(line.trimmed());
            }
        }
    }

    bool isCorrect(const QString& word) override
    {
        for (Dictionary& d : dictionaries_) {
            const std::string spelt = d.spelt(word);
            // A word in letters the dictionary has none of is not of its language.
            if (spelt.empty() || d.hunspell->spell(spelt)) {
                return true;
            }
        }
        return dictionaries_.empty();
    }

    QStringList suggestions(const QString& word) override
    {
        QStringList all;
        for (Dictionary& d : dictionaries_) {
            for (const std::string& s : d.hunspell->suggest(d.spelt(word))) {
                d.decode.resetState();
                const QString suggestion = d.decode.decode(QByteArray::fromStdString(s));
                if (!all.contains(suggestion)) {
                    all << suggestion;
                }
            }
        }
        return all;
    }

    void add(const QString& word) override
    {
        ignore(word);
        if (personalList_.isEmpty()) {
            return;
        }
        QFile own(personalList_);
        QDir().mkpath(QFileInfo(personalList_).absolutePath());
        if (own.open(QIODevice::Append)) {
            own.write(word.toUtf8() + '\n');
        }
    }

    void ignore(const QString& word) override
    {
        if (word.isEmpty()) {
            return;
        }
        for (Dictionary& d : dictionaries_) {
            if (const std::string spelt = d.spelt(word); !spelt.empty()) {
                d.hunspell->add(spelt);
            }
        }
    }

private:
    std::vector<Dictionary> dictionaries_;
    QString personalList_;
};

// "en-US" and "en_US" name the same dictionary; "en" any English one.
QString dictionaryFor(const QStringList& installed, QString language)
{
    language.replace(u'-', u'_');
    QString best;
    for (const QString& path : installed) {
        const QString name = QFileInfo(path).fileName();
        if (name.compare(language, Qt::CaseInsensitive) == 0) {
            return path;
        }
        if (best.isEmpty() && name.startsWith(language + u'_', Qt::CaseInsensitive)) {
            best = path;
        }
    }
    return best;
}

} // namespace

std::unique_ptr<Speller> hunspellSpeller(const QStringList& dictionaries,
                                         const QString& personalList)
{
    return std::make_unique<HunspellSpeller>(dictionaries, personalList);
}

Dictionaries chooseDictionaries(const QStringList& installed, const QStringList& languages)
{
    Dictionaries chosen;
    QStringList seen;
    for (const QString& language : languages) {
        const QString path = dictionaryFor(installed, language);
        const QString base = language.section(u'-', 0, 0).section(u'_', 0, 0);
        if (!path.isEmpty() && !seen.contains(base)) {
            chosen.paths << path;
            seen << base;
        }
    }
    chosen.forUserLanguage = !chosen.paths.isEmpty();
    if (chosen.paths.isEmpty() && !installed.isEmpty()) {
        const QString english = dictionaryFor(installed, QStringLiteral("en_US"));
        chosen.paths << (english.isEmpty() ? installed.constFirst() : english);
    }
    return chosen;
}

QStringList installedDictionaries()
{
    QStringList found;
    const QStringList folders =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("hunspell"),
                                  QStandardPaths::LocateDirectory);
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& dic :
             dir.entryList({QStringLiteral("*.dic")}, QDir::Files, QDir::Name)) {
            const QString path = dir.filePath(dic.chopped(4));
            if (QFileInfo::exists(path + QStringLiteral(".aff"))) {
                found << path;
            }
        }
    }
    return found;
}

} // namespace platform
