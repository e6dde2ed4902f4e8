#include "platform/Spelling.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QThreadPool>
#include <memory>

namespace platform {

namespace {
const char* const enabledKey = "notes/checkSpelling";
} // namespace

Spelling& Spelling::shared()
{
    // Never destroyed: a load still under way at exit lands on it.
    static auto* spelling = new Spelling;
    return *spelling;
}

const Dictionaries& Spelling::dictionaries()
{
    if (!dictionaries_) {
        dictionaries_ = chooseDictionaries(installedDictionaries(), QLocale().uiLanguages());
    }
    return *dictionaries_;
}

// Read once: every paragraph checked asks.
bool Spelling::enabled()
{
    if (!enabled_) {
        const QVariant chosen = QSettings().value(enabledKey);
        enabled_ = chosen.isValid() ? chosen.toBool() : dictionaries().forUserLanguage;
    }
    return *enabled_;
}

void Spelling::setEnabled(bool on)
{
    const bool was = enabled();
    QSettings().setValue(enabledKey, on);
    enabled_ = on;
    if (!on && !given_) {
        // The dictionary's megabytes go with it; turned on again, it is read again.
        setSpeller(nullptr);
        ++generation_;
        loading_ = false;
    }
    if (on != was) {
        Q_EMIT changed();
    }
}

QAction* Spelling::toggleAction(QObject* parent)
{
    auto* action = new QAction(QCoreApplication::translate("Spelling", "Check Spelling"), parent);
    action->setCheckable(true);
    const auto follow = [this, action] {
        action->setEnabled(available());
        action->setChecked(enabled() && available());
    };
    follow();
    connect(this, &Spelling::changed, action, follow);
    connect(action, &QAction::triggered, this, &Spelling::setEnabled);
    return action;
}

bool Spelling::available()
{
    return given_ || !dictionaries().paths.isEmpty();
}

Speller* Spelling::speller()
{
    if (!enabled()) {
        return nullptr;
    }
    if (!speller_ && !loading_ && !given_ && available()) {
        load();
    }
    return speller_.get();
}

void Spelling::use(std::unique_ptr<Speller> speller)
{
    ++generation_;
    loading_ = false;
    given_ = speller != nullptr;
    setSpeller(std::move(speller));
    Q_EMIT changed();
}

void Spelling::setSpeller(std::unique_ptr<Speller> speller)
{
    speller_ = std::move(speller);
    known_.clear();
}

bool Spelling::isCorrect(const QString& word)
{
    if (!speller_) {
        return true;
    }
    if (const auto at = known_.constFind(word); at != known_.cend()) {
        return *at;
    }
    // Bounded: a note of distinct words never grows it past this.
    if (known_.size() > 50'000) {
        known_.clear();
    }
    return known_[word] = speller_->isCorrect(word);
}

void Spelling::add(const QString& word)
{
    if (speller_) {
        speller_->add(word);
        known_.clear();
        Q_EMIT changed();
    }
}

void Spelling::ignore(const QString& word)
{
    if (speller_) {
        speller_->ignore(word);
        known_.clear();
        Q_EMIT changed();
    }
}

QString Spelling::personalListPath()
{
    // Beside the settings, wherever they are kept.
    return QFileInfo(QSettings().fileName()).absolutePath() + QStringLiteral("/words.txt");
}

// Reading a dictionary takes a tenth of a second or more: never on the GUI thread.
void Spelling::load()
{
    loading_ = true;
    const int generation = generation_;
    QThreadPool::globalInstance()->start(
        [this, generation, paths = dictionaries().paths, own = personalListPath()] {
            // Held so that a delivery that never runs (the program ending first) frees it.
            auto loaded = std::make_shared<std::unique_ptr<Speller>>(hunspellSpeller(paths, own));
            QMetaObject::invokeMethod(this, [this, generation, loaded] {
                if (generation != generation_) {
                    return;
                }
                loading_ = false;
                setSpeller(std::move(*loaded));
                Q_EMIT changed();
            });
        });
}

} // namespace platform
