#include "platform/UserTextFile.h"

#include "platform/Windows1252.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace UserTextFile {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool fail(const QFileDevice& file, QString* error)
{
    if (error)
        *error = file.errorString();
    return false;
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
        if (Windows1252::encode(text, bytes))
            return bytes;
        // A character the code page cannot hold: never drop it, switch to UTF-8.
        encoding = Encoding::Utf8;
    }
    QByteArray bytes = text.toUtf8();
    if (encoding == Encoding::Utf8WithBom)
        bytes.prepend(kUtf8Bom);
    return bytes;
}

bool Write(const QString& path, const QByteArray& bytes, Fallback fallback, QString* error)
{
    // An existing file that cannot be opened for writing stays as it is; the
    // replacement below would otherwise rename over a read-only file.
    QFile existing(path);
    if (existing.exists() && !existing.open(QIODevice::WriteOnly | QIODevice::Append))
        return fail(existing, error);
    existing.close();

    QSaveFile file(path);
    file.setDirectWriteFallback(fallback == Fallback::InPlace);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file, error);
    if (file.write(bytes) != bytes.size()) {
        const bool written = fail(file, error);
        file.cancelWriting();  // the temporary file is discarded, the old file stays
        return written;
    }
    return file.commit() || fail(file, error);
}

}  // namespace UserTextFile
