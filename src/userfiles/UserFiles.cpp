#include "userfiles/UserFiles.h"

#include "ports/Messages.h"

#include "userfiles/UserTextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

namespace UserFiles {

namespace {

QSet<QString>& reported()
{
    static QSet<QString> paths;
    return paths;
}

bool fileMayBeWritten(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    // The effective identity decides, as it will for the write itself.
    return ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

bool DirectoryTakesNewFiles(const QString& dir)
{
    const QByteArray probe = QFile::encodeName(dir + QStringLiteral("/.nimbrel-probe-XXXXXX"));
    QByteArray name = probe;
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(name.constData());
    return true;
}

QString DataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString Locate(const QString& programDir, const QString& name)
{
    const QString inProgramDir = programDir + QLatin1Char('/') + name;
    const bool present = QFileInfo::exists(inProgramDir);
    if (DirectoryTakesNewFiles(programDir) && (!present || fileMayBeWritten(inProgramDir)))
        return inProgramDir;

    const QString folder = DataFolder();
    const QString inDataFolder = folder + QLatin1Char('/') + name;
    QDir().mkpath(folder);
    if (present && !QFileInfo::exists(inDataFolder)) {
        // First use here: start from the copy the program directory holds.
        QFile original(inProgramDir);
        if (original.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = original.readAll();
            if (original.error() == QFileDevice::NoError)
                UserTextFile::Write(inDataFolder, bytes, nullptr, UserTextFile::NewFile::OwnerOnly);
        }
    }
    return inDataFolder;
}

void TellNotSaved(Messages& messages, QWidget* parent, const QString& path, const QString& error)
{
    if (reported().contains(path))
        return;
    reported().insert(path);
    messages.Warning(parent, QStringLiteral("Nimbrel"),
                     QStringLiteral("Could not save %1:\n%2\n\nYour text stays in the window.")
                         .arg(QDir::toNativeSeparators(path), error));
}

void ForgetReported()
{
    reported().clear();
}

}  // namespace UserFiles
