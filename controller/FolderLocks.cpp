#include "controller/FolderLocks.h"

#include "model/SafeFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString folderLockPath(const QString& folder)
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty()) {
        state = QDir::homePath() + QStringLiteral("/.local/state");
    }
    const QString locks = state + QStringLiteral("/quillhaven/locks");
    SafeFiles::createPrivateFolder(locks);
    const QFileInfo info(folder);
    const QString real = info.canonicalFilePath().isEmpty()
                             ? QDir::cleanPath(info.absoluteFilePath())
                             : info.canonicalFilePath();
    const QByteArray key =
        QCryptographicHash::hash(QFile::encodeName(real), QCryptographicHash::Sha256).toHex();
    return locks + QLatin1Char('/') + QString::fromLatin1(key.left(32)) + QStringLiteral(".lock");
}
