#include "userfiles/FavouritesFile.h"

#include "text/Utf8.h"
#include "text/Windows1252.h"

#include <QStringDecoder>

namespace FavouritesFile {

namespace {

constexpr QByteArrayView kMark(kByteOrderMark, sizeof kByteOrderMark - 1);

bool isAscii(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// The end of the line that starts at `from`: the first CR or LF, or the end.
qsizetype lineEndFrom(QByteArrayView bytes, qsizetype from)
{
    const char* const data = bytes.data();
    const qsizetype size = bytes.size();
    while (from < size && data[from] != '\r' && data[from] != '\n')
        ++from;
    return from;
}

}  // namespace

Reader::Reader(QByteArrayView bytes) : m_bytes(bytes)
{
    // The mark is the file's when the first line is UTF-8 with it.
    if (bytes.startsWith(kMark)) {
        m_marked = Utf8::IsValid(bytes.first(lineEndFrom(bytes, 0)));
        if (m_marked)
            m_at = kMark.size();
    }
}

Entry Reader::Next()
{
    const char* const data = m_bytes.data();
    const qsizetype size = m_bytes.size();
    // A line ends at CR LF, or at a lone CR or LF from another system.
    const qsizetype end = lineEndFrom(m_bytes, m_at);
    const QByteArrayView line(data + m_at, end - m_at);
    Entry entry;
    entry.form.end = LineEnd::None;
    m_at = end;
    if (m_at < size) {
        if (data[m_at] == '\r' && m_at + 1 < size && data[m_at + 1] == '\n') {
            entry.form.end = LineEnd::CrLf;
            m_at += 2;
        } else {
            entry.form.end = data[m_at] == '\r' ? LineEnd::Cr : LineEnd::Lf;
            m_at += 1;
        }
    }

    if (Utf8::IsAscii(line)) {
        entry.text = QString::fromLatin1(line);
    } else if (Utf8::IsValid(line)) {
        if (line.startsWith(kMark)) {
            // QString::fromUtf8 would drop a leading U+FEFF, a character of the entry.
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            entry.text = utf8.decode(line);
        } else {
            entry.text = QString::fromUtf8(line);
        }
        ++m_tally.utf8Lines;
    } else {
        entry.text = Windows1252::decode(line);
        entry.form.codePage = true;
        ++m_tally.codePageLines;
    }
    return entry;
}

void Tally::Count(const Entry& entry, int times)
{
    if (isAscii(entry.text))
        return;
    (entry.form.codePage ? codePageLines : utf8Lines) += times;
}

LineForm NewEntryForm(QStringView text, const Tally& tally)
{
    LineForm form;
    if (!isAscii(text) && tally.utf8Lines == 0 && tally.codePageLines > 0) {
        // Code-page bytes that form valid UTF-8 would read back as other characters.
        QByteArray bytes;
        form.codePage = Windows1252::encode(text, bytes) && !Utf8::IsValid(bytes);
    }
    return form;
}

LineForm Followed(LineForm form)
{
    if (form.end == LineEnd::None)
        form.end = LineEnd::CrLf;
    return form;
}

QByteArray EntryBytes(const Entry& entry)
{
    if (entry.form.codePage) {
        QByteArray bytes;
        if (Windows1252::encode(entry.text, bytes))
            return bytes;
    }
    return entry.text.toUtf8();
}

void AppendLine(QByteArray& out, const Entry& entry, bool last)
{
    out += EntryBytes(entry);
    switch (entry.form.end) {
    case LineEnd::Lf: out += '\n'; break;
    case LineEnd::Cr: out += '\r'; break;
    case LineEnd::None:
        // Only a last line may go without its end.
        if (!last)
            out += "\r\n";
        break;
    case LineEnd::CrLf: out += "\r\n"; break;
    }
}

File File::Read(QByteArrayView bytes)
{
    File file;
    Reader reader(bytes);
    file.m_marked = reader.ByteOrderMark();
    while (!reader.AtEnd())
        file.m_entries.push_back(reader.Next());
    file.m_tally = reader.Tallied();
    return file;
}

QByteArray File::Bytes() const
{
    QByteArray bytes;
    if (m_marked)
        bytes += kByteOrderMark;
    const qsizetype count = m_entries.size();
    for (qsizetype i = 0; i < count; ++i)
        AppendLine(bytes, m_entries[i], i + 1 == count);
    return bytes;
}

void File::Append(const QString& text)
{
    if (!m_entries.isEmpty())
        m_entries.back().form = Followed(m_entries.back().form);
    Entry entry{text, NewEntryForm(text, m_tally)};
    m_tally.Count(entry);
    m_entries.push_back(std::move(entry));
}

void File::Remove(qsizetype index)
{
    if (index < 0 || index >= m_entries.size())
        return;
    m_tally.Count(m_entries[index], -1);
    m_entries.removeAt(index);
}

}  // namespace FavouritesFile
