#include "platform/DialogFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

namespace platform {

namespace {

const QString lastFolderKey = QStringLiteral("lastDialogFolder");

bool isFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

QString dialogFolder()
{
    const QString last = QSettings().value(lastFolderKey).toString();
    if (isFolder(last)) {
        return last;
    }
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return isFolder(pictures) ? pictures : QDir::homePath();
}

void rememberDialogChoice(const QString& chosenFile)
{
    if (chosenFile.isEmpty()) {
        return;
    }
    QSettings().setValue(lastFolderKey, QFileInfo(chosenFile).absolutePath());
}

void keepAboveNotes(QWidget* dialog)
{
    dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
}

} // namespace platform
