#include "personal/NotesArea.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace ravel32 {

namespace {

const QLatin1StringView kCrLf("\r\n");

// What the notes store keeps beside a text area's document: the encoding of
// the file its text was read from, and a copy of its raw text (blocks apart
// by U+2029), kept up to date from the document's change reports. Taking the
// whole raw text from a document of fifty megabytes costs more than the rest
// of a keystroke's write; the copy costs one move of memory per change. A
// copy whose length stops matching the document's is dropped and taken afresh.
class AreaFileState final : public QObject {
    Q_OBJECT

public:
    explicit AreaFileState(QTextDocument* document) : QObject(document), m_document(document)
    {
        setObjectName(QStringLiteral("nimbrelAreaFileState"));
        connect(document, &QTextDocument::contentsChange, this, &AreaFileState::Change);
    }

    static AreaFileState* Of(QTextDocument* document)
    {
        auto* state = document->findChild<AreaFileState*>(QStringLiteral("nimbrelAreaFileState"),
                                                          Qt::FindDirectChildrenOnly);
        return state ? state : new AreaFileState(document);
    }

    // The encoding the text is written in (Utf8 if no file was read).
    NotesFile::Encoding encoding = NotesFile::Encoding::Utf8;

    // The document's raw text was just set to `raw`: the copy takes it as it
    // is instead of asking the document for it again.
    void Take(QString raw)
    {
        m_text = std::move(raw);
        m_valid = m_text.size() == m_document->characterCount() - 1;
    }

    const QString& Text()
    {
        if (!m_valid || m_text.size() != m_document->characterCount() - 1) {
            m_text = m_document->toRawText();
            m_valid = true;
        }
        return m_text;
    }

private:
    void Change(int position, int removed, int added)
    {
        if (!m_valid)
            return;
        // Counts may take in the document's closing separator, which the raw
        // text leaves out: both are cut at the end of the text.
        const int length = m_document->characterCount() - 1;
        if (position < 0 || position > m_text.size()) {
            m_valid = false;
            return;
        }
        m_text.remove(position, std::min<qsizetype>(removed, m_text.size() - position));
        const int end = std::min(position + added, length);
        if (end > position) {
            QTextCursor cursor(m_document);
            cursor.setPosition(position);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            m_text.insert(position, cursor.selectedText());
        }
        if (m_text.size() != length)
            m_valid = false;
    }

    QTextDocument* m_document;
    QString m_text;
    bool m_valid = false;
};

// A text document spends microseconds on every block it builds, so a text of
// a million lines would take many seconds to show. In a long text only every
// kLinesPerGroup-th line break stays a block separator; the others become
// line separators, which look and edit the same and cost nothing to build.
// The writer writes both as CR LF, and a U+2028 of the file itself is held
// as a stand-in, so the file does not change.
constexpr qsizetype kGroupLinesFrom = 1 << 20;
constexpr int kLinesPerGroup = 64;

void GroupLines(QString& text)
{
    QChar* c = text.data();
    QChar* const end = c + text.size();
    int inGroup = 0;
    for (; c != end; ++c) {
        if (*c == u'\n' && ++inGroup < kLinesPerGroup)
            *c = QChar::LineSeparator;
        else if (*c == u'\n')
            inGroup = 0;
    }
}

}  // namespace

QString AreaRawText(QPlainTextEdit* area)
{
    return AreaFileState::Of(area->document())->Text();
}

void ReadTextFile(QPlainTextEdit* area, const QString& path)
{
    QByteArray bytes;
    NotesFile::Decoded decoded;
    if (UserTextFile::ReadAll(path, bytes))
        decoded = NotesFile::Decode(std::move(bytes));
    QString& text = decoded.areaText;
    if (text.size() >= kGroupLinesFrom)
        GroupLines(text);
    QTextDocument* document = area->document();
    AreaFileState* state = AreaFileState::Of(document);
    state->encoding = decoded.encoding;
    if (document->isEmpty() ? text.isEmpty()
                            : document->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')) == text)
        return;
    area->setPlainText(text);
    // The document holds the text with its line feeds as block separators;
    // the writer's copy is made from the text in place rather than asked of
    // the document, which for a long text costs most of a second.
    text.replace(QLatin1Char('\n'), QChar::ParagraphSeparator);
    state->Take(std::move(text));
}

bool WriteTextFile(QPlainTextEdit* area, const QString& path, QString* error)
{
    AreaFileState* state = AreaFileState::Of(area->document());
    NotesFile::Encoding encoding = state->encoding;
    // Kept from one write to the next: its memory is reused at every keystroke.
    static QByteArray buffer;
    NotesFile::Encode(state->Text(), encoding, buffer);
    if (!WriteFileAtomically(path, buffer, error))
        return false;
    state->encoding = encoding;
    return true;
}

}  // namespace ravel32

// AreaFileState is a QObject declared in this file (findChild needs its meta-object).
#include "NotesArea.moc"
