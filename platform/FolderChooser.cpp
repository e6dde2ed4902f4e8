#include "platform/FolderChooser.h"

#include "platform/DialogFolder.h"
#include "platform/Services.h"

#include <QFileDialog>
#include <QPointer>
#include <QUrl>

namespace platform {

namespace {

QPointer<QFileDialog>& openChooser()
{
    static QPointer<QFileDialog> dialog;
    return dialog;
}

void showChooser(const QString& title, const QString& start, QObject* context,
                 std::function<void(const QString&)> chosen)
{
    if (QFileDialog* open = openChooser()) {
        open->raise();
        open->activateWindow();
        return;
    }
    // No parent: the pad and the dashboard may both be hidden while it is open.
    auto* dialog = new QFileDialog(nullptr, title, start);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    keepAboveNotes(dialog);
    openChooser() = dialog;
    const QPointer<QObject> guard(context);
    // Read from the dialog once accepted: Qt's own dialog and a native one (a portal's, which
    // answers with URLs) announce the choice with different signals.
    QObject::connect(dialog, &QDialog::accepted, dialog,
                     [dialog, guard, chosen = std::move(chosen)] {
                         const QUrl url = dialog->selectedUrls().value(0);
                         if (guard && url.isLocalFile()) {
                             chosen(url.toLocalFile());
                         }
                     });
    // Neither exec() nor open(): nothing waits for the user, and the notes and the dashboard
    // stay usable while the chooser is up.
    dialog->setWindowModality(Qt::NonModal);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace

void chooseFolder(const QString& title, const QString& start, QObject* context,
                  std::function<void(const QString& folder)> chosen)
{
    if (const auto& chooser = services().chooseFolder) {
        chooser(title, start, std::move(chosen));
        return;
    }
    showChooser(title, start, context, std::move(chosen));
}

} // namespace platform
