#include "model/Store.h"

#include "model/NoteModel.h"

// Placeholder until the notes file lands: loads nothing, saves nothing.
namespace Store {
QString url() { return {}; }
void setUrlForTesting(const QString&) {}
QList<NoteModel*> load(AppController*) { return {}; }
bool save(const QList<NoteModel*>&) { return true; }
QByteArray encode(const QList<NoteData>&, QString*) { return {}; }
std::optional<QList<NoteData>> decode(const QByteArray&) { return std::nullopt; }
} // namespace Store
