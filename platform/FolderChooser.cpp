#include "platform/FolderChooser.h"

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
    openChooser() = dialog;
    const QPointer<QObject> guard(context);
    // The URL, not the path: a portal's chooser answers with one.
    QObject::connect(dialog, &QFileDialog::urlSelected, dialog,
                     [guard, chosen = std::move(chosen)](const QUrl& url) {
                         if (guard && url.isLocalFile()) {
                             chosen(url.toLocalFile());
                         }
                     });
    // open(), not exec(): nothing waits for the user.
    dialog->open();
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
