#include "personal/NotePadFRM.h"

#include "personal/NotesArea.h"
#include "runtime/App.h"
#include "runtime/Look.h"
#include "runtime/Twips.h"
#include "userfiles/UserFiles.h"

#include <QPlainTextEdit>
#include <QTimer>

namespace {
// Up to this many characters every change is written before the handler
// returns; a longer text is written once the keys already waiting have been
// taken, so fast typing into a big text costs one write, not one per key.
constexpr int kWriteAtOnceCharacters = 1 << 20;
}

NotePadFRM::NotePadFRM(App& app) : Form(app)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    SetCaption(Title());
    Twips::resizeClient(this, 5175, 3855);
    setFixedSize(size());
    setFont(Look::font(8.25));

    Data = new QPlainTextEdit(this);
    Twips::place(Data, 0, 0, 5175, 3855);
    Data->setFont(font());
    Look::setColors(Data, Look::darkRed(), Look::titleBarText());
    // Long lines wrap at the right edge; only the vertical scroll bar is shown.
    Data->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Data->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Data->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Data->setFocus();
    connect(Data, &QPlainTextEdit::textChanged, this, &NotePadFRM::Data_Change);
}

NotePadFRM::~NotePadFRM()
{
    // The text box goes with the window; its last signals reach no handler.
    disconnect(Data, nullptr, this, nullptr);
    WritePendingChange();
}

QString NotePadFRM::Title()
{
    return QStringLiteral("Notepad") + QString(24, QLatin1Char(' ')) + QStringLiteral("NB");
}

QString NotePadFRM::NotesPath() const
{
    if (m_notesPath.isEmpty())
        m_notesPath = UserFiles::Locate(app().programDir(), QStringLiteral("Notes.TXT"));
    return m_notesPath;
}

void NotePadFRM::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    // A non-empty text raises the change event as typing does, so the notes
    // file is rewritten once here with the same text (and the same encoding).
    ravel32::ReadTextFile(Data, NotesPath());
}

void NotePadFRM::Data_Change()
{
    if (Data->document()->characterCount() <= kWriteAtOnceCharacters) {
        m_writePending = true;
        WritePendingChange();
        return;
    }
    if (m_writePending)
        return;
    m_writePending = true;
    QTimer::singleShot(0, this, &NotePadFRM::WritePendingChange);
}

void NotePadFRM::WritePendingChange()
{
    if (!m_writePending)
        return;
    m_writePending = false;
    QString error;
    if (!ravel32::WriteTextFile(Data, NotesPath(), &error))
        UserFiles::TellNotSaved(app().services().messages, this, NotesPath(), error);
}

void NotePadFRM::Form_Unload()
{
    WritePendingChange();
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
}
