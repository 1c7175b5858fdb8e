// The favourites file as values: any bytes are read as entries and written
// back byte for byte; an Add keeps every old line, and a Del every other one.
#include "userfiles/FavouritesFile.h"

#include <cstdlib>

namespace {

// The bytes of each line of `file` as it writes them, line end included.
QList<QByteArray> linesOf(const FavouritesFile::File& file)
{
    QList<QByteArray> lines;
    const QList<FavouritesFile::Entry>& entries = file.Entries();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        QByteArray line;
        FavouritesFile::AppendLine(line, entries[i], i + 1 == entries.size());
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    FavouritesFile::File file = FavouritesFile::File::Read(bytes);
    if (file.Bytes() != bytes)
        std::abort();

    // An entry made of the first bytes, as if typed: everything before its
    // line is the old file, with a line end added to a last line that had none.
    file.Append(QString::fromUtf8(bytes.left(8)).remove(u'\r').remove(u'\n'));
    const QByteArray added = file.Bytes();
    if (!added.startsWith(bytes))
        std::abort();
    // The new entry reads back as its text.
    const FavouritesFile::File again = FavouritesFile::File::Read(added);
    if (again.Entries().size() != file.Entries().size()
        || again.Entries().back().text != file.Entries().back().text)
        std::abort();

    // A Del, at a place the input picks, leaves every other line as it was
    // (the last one may lose the line end it was given for the one after it).
    if (!file.Entries().isEmpty()) {
        const qsizetype at = size > 0 ? data[0] % file.Entries().size() : 0;
        QList<QByteArray> expected = linesOf(file);
        file.Remove(at);
        expected.removeAt(at);
        QList<QByteArray> lines = linesOf(file);
        if (lines.size() != expected.size())
            std::abort();
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i] != expected[i] && !(i + 1 == lines.size() && expected[i].startsWith(lines[i])))
                std::abort();
    }
    return 0;
}
