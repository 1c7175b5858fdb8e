#include "userfiles/UserTextFile.h"

#include "text/Utf8.h"
#include "text/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace UserTextFile {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
// Temporary files are named ".<file name>.<process id>.part" beside the file.
const char kTempSuffix[] = ".part";

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

bool underKernelTree(const QString& canonical)
{
    for (const char* root : {"/proc", "/sys"}) {
        const QString r = QString::fromLatin1(root);
        if (canonical == r || canonical.startsWith(r + QLatin1Char('/')))
            return true;
    }
    return false;
}

// Removes temporary files a killed write of `name` left in `dir`: those whose
// writing process no longer runs. Done once per file in each run.
void removeStaleTemporaries(const QByteArray& dir, const QByteArray& name)
{
    static QMutex mutex;
    static QSet<QByteArray> done;
    {
        QMutexLocker lock(&mutex);
        const QByteArray key = dir + '/' + name;
        if (done.contains(key))
            return;
        done.insert(key);
    }
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return;
    const QByteArray prefix = '.' + name + '.';
    while (const dirent* e = ::readdir(d)) {
        const QByteArray entry(e->d_name);
        if (!entry.startsWith(prefix) || !entry.endsWith(kTempSuffix))
            continue;
        const QByteArray pid = entry.mid(prefix.size(), entry.size() - prefix.size() - int(std::strlen(kTempSuffix)));
        bool ok = false;
        const long id = pid.toLong(&ok);
        if (!ok || id <= 0)
            continue;
        if (id != long(::getpid()) && ::kill(pid_t(id), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(d), entry.constData(), 0);
    }
    ::closedir(d);
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

}  // namespace

Decoded Decode(QByteArrayView bytes, Bom bom)
{
    const bool takeBom = bom == Bom::Remember && bytes.startsWith(kUtf8Bom);
    const QByteArrayView body = takeBom ? bytes.sliced(kUtf8Bom.size()) : bytes;
    // Stateless, so a sequence cut off at the end of the file is an error and
    // the file is read as Windows-1252 instead of losing its last bytes.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return {std::move(text), takeBom ? Encoding::Utf8WithBom : Encoding::Utf8};
    return {Windows1252::decode(bytes), Encoding::Windows1252};
}

QByteArray Encode(QStringView text, Encoding& encoding)
{
    if (encoding == Encoding::Windows1252) {
        QByteArray bytes;
        // Code-page bytes that form valid UTF-8 would be read back as UTF-8,
        // as other characters; such a text is written as UTF-8 instead.
        if (Windows1252::encode(text, bytes) && (Utf8::IsAscii(bytes) || !Utf8::IsValid(bytes)))
            return bytes;
        encoding = Encoding::Utf8;
    }
    QByteArray bytes = text.toUtf8();
    if (encoding == Encoding::Utf8WithBom)
        bytes.prepend(kUtf8Bom);
    return bytes;
}

QString WhyNotReadable(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return systemError(errno);
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("It is a folder, not a file.");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("It is not an ordinary file (a pipe, socket or device), "
                              "so it cannot be read or written as a page.");
    if (underKernelTree(QFileInfo(path).canonicalFilePath()))
        return QStringLiteral("It is one of the system's own files, which cannot be read or "
                              "written as a page.");
    return QString();
}

bool ReadAll(const QString& path, QByteArray& bytes, QString* error, qint64 maxBytes)
{
    const QString why = WhyNotReadable(path);
    if (!why.isEmpty())
        return fail(error, why);
    // Opened without waiting, in case the path was swapped for a pipe meanwhile.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(error, systemError(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(error, QStringLiteral("It is not an ordinary file."));
    }
    if (maxBytes > 0 && st.st_size > maxBytes) {
        ::close(fd);
        return fail(error, QStringLiteral("It is larger than %1 MB.").arg(maxBytes / (1024 * 1024)));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error, file.errorString());
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    return true;
}

bool Write(const QString& path, const QByteArray& bytes, QString* error, NewFile newFile)
{
    // A link is followed: the file it names is the one replaced.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink() && info.exists())
        target = info.canonicalFilePath();
    const QByteArray native = QFile::encodeName(target);

    struct stat st {};
    const bool exists = ::stat(native.constData(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode))
            return fail(error, S_ISDIR(st.st_mode)
                                   ? QStringLiteral("It is a folder, not a file.")
                                   : QStringLiteral("It is not an ordinary file (a pipe, socket or "
                                                    "device), so nothing can be saved there."));
        if (underKernelTree(QFileInfo(target).canonicalFilePath()))
            return fail(error, QStringLiteral("It is one of the system's own files."));
        // A read-only file stays as it is; the rename below would otherwise replace it.
        if (::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0)
            return fail(error, systemError(errno));
    }

    const QFileInfo targetInfo(target);
    const QByteArray dir = QFile::encodeName(targetInfo.absolutePath());
    const QByteArray name = QFile::encodeName(targetInfo.fileName());
    removeStaleTemporaries(dir, name);

    const QByteArray temp = dir + "/." + name + '.' + QByteArray::number(qint64(::getpid())) + kTempSuffix;
    mode_t mode = 0666;
    if (exists)
        mode = st.st_mode & 07777;
    else if (newFile == NewFile::OwnerOnly)
        mode = 0600;
    ::unlink(temp.constData());
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return fail(error, systemError(errno));
    // The replaced file's permissions are kept exactly, whatever the mask.
    if (exists)
        (void)::fchmod(fd, mode);
    bool ok = writeAll(fd, bytes) && ::fdatasync(fd) == 0;
    const int writeError = errno;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(temp.constData(), native.constData()) != 0) {
        const int code = ok ? errno : writeError;
        ::unlink(temp.constData());
        return fail(error, systemError(code ? code : EIO));
    }
    return true;
}

}  // namespace UserTextFile
