#include "authoring/EditorFRM.h"

#include "authoring/EditorBrowserFRM.h"
#include "authoring/PlainText.h"
#include "runtime/App.h"
#include "ports/Messages.h"
#include "ports/Services.h"
#include "ports/BrowserControl.h"
#include "ports/FileDialogs.h"
#include "runtime/ImageControl.h"
#include "runtime/Look.h"
#include "runtime/Twips.h"
#include "userfiles/UserFiles.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kCaption = QStringLiteral("Nimbrel HTML Editor") + QString(32, u' ') + QStringLiteral("NB");
const QString kProblemTitle = QStringLiteral("Nimbrel HTML Editor");

// A page larger than this is not something to edit as one string in a text
// box; refusing it keeps the editor responsive and its text unchanged.
constexpr qint64 kMaxOpenBytes = 64LL * 1024 * 1024;

}  // namespace

EditorFRM::EditorFRM(App& app) : Form(app)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetCaption(kCaption);
    Twips::resizeClient(this, 8115, 5250);
    setFixedSize(size());

    ImagePic = new ImageControl(app.services().pictures, ImageControl::Mode::Stretch, this);
    ImagePic->setObjectName(QStringLiteral("ImagePic"));
    Twips::place(ImagePic, 0, 0, 8175, 5295);
    ImagePic->lower();

    RichText = new QPlainTextEdit(this);
    RichText->setObjectName(QStringLiteral("RichText"));
    RichText->setFont(Look::font(9));
    Twips::place(RichText, 120, 120, 7935, 4695);

    Command1 = MakeButton(QStringLiteral("Command1"), QStringLiteral("Back"), true);
    Twips::place(Command1, 6720, 4920, 1335, 255);
    Command2 = MakeButton(QStringLiteral("Command2"), QStringLiteral("Preview"), false);
    Twips::place(Command2, 3240, 4920, 1335, 255);
    Command3 = MakeButton(QStringLiteral("Command3"), QStringLiteral("Save"), false);
    Twips::place(Command3, 1440, 4920, 1095, 255);
    Command4 = MakeButton(QStringLiteral("Command4"), QStringLiteral("Open"), false);
    Twips::place(Command4, 120, 4920, 1095, 255);
    Command5 = MakeButton(QStringLiteral("Command5"), QStringLiteral("Minimize"), false);
    Twips::place(Command5, 5400, 4920, 1095, 255);

    setTabOrder(RichText, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Command5);

    connect(Command1, &QPushButton::clicked, this, &EditorFRM::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &EditorFRM::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &EditorFRM::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &EditorFRM::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &EditorFRM::Command5_Click);
}

EditorFRM::~EditorFRM() = default;

QPushButton* EditorFRM::MakeButton(const QString& name, const QString& caption, bool bold)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setFont(Look::font(9, bold));
    return button;
}

QString EditorFRM::StarterPage()
{
    static const QStringList lines = {
        QStringLiteral("<HTML>"), QString(), QStringLiteral("<HEAD>"),
        QStringLiteral("<TITLE>Web Page</TITLE>"), QStringLiteral("</HEAD>"), QString(),
        QStringLiteral("<BODY>"), QString(), QStringLiteral("</BODY>"), QString(),
        QStringLiteral("</HTML>"),
    };
    return lines.join(kCrLf);
}

QString EditorFRM::Filter()
{
    return QStringLiteral("HTML Files (*.html);;HTM Files (*.htm)");
}

QString EditorFRM::Text() const
{
    return PlainText::Of(RichText);
}

void EditorFRM::SetText(const QString& text)
{
    // A text handed over from elsewhere is a new page: it is saved as UTF-8.
    ReplaceText(text, FileEncoding::Utf8);
}

void EditorFRM::ReplaceText(const QString& text, FileEncoding encoding)
{
    RichText->setPlainText(text);
    m_encoding = encoding;
}

QString EditorFRM::PreviewPath() const
{
    // In the program directory when it may be written there, else in the
    // user's data folder; either is a local file the preview browser loads.
    if (m_previewPath.isEmpty())
        m_previewPath = UserFiles::Locate(app().programDir(), QStringLiteral("Preview.html"));
    return m_previewPath;
}

void EditorFRM::Form_Load()
{
    ReplaceText(StarterPage(), FileEncoding::Utf8);
    ImagePic->LoadPicture(AssetPath(QStringLiteral("/Main.BMP")));
}

void EditorFRM::Form_Unload()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
}

void EditorFRM::Command1_Click()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
    hide();
}

void EditorFRM::Command2_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    const QString path = PreviewPath();
    if (!WritePage(path, QStringLiteral("the preview file")))
        return;
    EditorBrowserFRM* preview = app().forms().Show<EditorBrowserFRM>();
    if (preview)
        preview->Navigate(path);
}

void EditorFRM::Command3_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    App& program = app();
    QPointer<EditorFRM> self(this);
    const QString name = program.services().dialogs.ShowSave(this, Filter());
    // The dialog let events run: the window may have gone or the program ended.
    if (!self || program.ended() || name.isEmpty())
        return;
    WritePage(name, name);
}

void EditorFRM::Command4_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    App& program = app();
    QPointer<EditorFRM> self(this);
    const QString name = program.services().dialogs.ShowOpen(this, Filter());
    if (!self || program.ended() || name.isEmpty())
        return;
    QStringList lines;
    FileEncoding encoding = FileEncoding::Utf8;
    if (!ReadPage(name, lines, encoding) || lines.isEmpty())
        return;
    ReplaceText(lines.join(kCrLf), encoding);
}

void EditorFRM::Command5_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    SetState(WindowState::Minimized);
}

bool EditorFRM::WritePage(const QString& path, const QString& what)
{
    // A save that needs UTF-8 for one character does not change the encoding
    // the page was opened in: the next save tries the code page again.
    FileEncoding encoding = m_encoding;
    const QByteArray bytes = UserTextFile::Encode(Text() + kCrLf, encoding);
    QString error;
    if (UserTextFile::Write(path, bytes, &error))
        return true;
    Complain(QStringLiteral("Could not write %1:\n%2").arg(what, error));
    return false;
}

bool EditorFRM::ReadPage(const QString& path, QStringList& lines, FileEncoding& encoding)
{
    // Pipes, devices and the kernel's files are refused before they are
    // opened: reading one could wait for ever.
    QByteArray bytes;
    QString error;
    if (!UserTextFile::ReadAll(path, bytes, &error, kMaxOpenBytes)) {
        Complain(QStringLiteral("Could not open %1:\n%2").arg(path, error));
        return false;
    }
    // A byte-order mark stays in the text, so Save writes it back.
    const UserTextFile::Decoded decoded = UserTextFile::Decode(bytes, UserTextFile::Bom::KeepInText);
    encoding = decoded.encoding;
    lines = PlainText::Lines(decoded.text);
    return true;
}

void EditorFRM::Complain(const QString& text)
{
    app().services().messages.Warning(this, kProblemTitle, text);
}
