// The favourites reader and writer on a real file: any bytes are read as a
// list and written back byte for byte, and an Add keeps every old line.
#include "personal/TextFileStore.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "fuzz_list_file";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *instance;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    app();
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/FavPlaces.TXT");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!ravel32::WriteFileAtomically(path, bytes))
        std::abort();
    QListWidget list;
    if (!ravel32::ReadListFile(path, &list, [] { return true; }))
        std::abort();
    if (!ravel32::WriteListFile(path, &list) || contentOf(path) != bytes)
        std::abort();
    ravel32::AppendListEntry(&list, QString::fromUtf8(bytes.left(8)).remove(u'\r').remove(u'\n'));
    if (!ravel32::WriteListFile(path, &list))
        std::abort();
    const QByteArray after = contentOf(path);
    // Everything before the new line is the old file, with a line end added
    // to a last line that had none.
    if (!after.startsWith(bytes))
        std::abort();
    return 0;
}
