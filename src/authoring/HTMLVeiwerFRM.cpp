#include "authoring/HTMLVeiwerFRM.h"

#include "authoring/EditorFRM.h"
#include "authoring/PlainText.h"
#include "runtime/App.h"
#include "ports/Messages.h"
#include "ports/Services.h"
#include "runtime/ImageControl.h"
#include "runtime/KeyPress.h"
#include "runtime/Look.h"
#include "ports/Transfer.h"
#include "runtime/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace {

const QString kCaption = QStringLiteral("HTML Viewer") + QString(31, u' ') + QStringLiteral("NB");
const QString kProblemTitle = QStringLiteral("HTML Viewer");
constexpr double kFontPoints = 8.25;

}  // namespace

HTMLVeiwerFRM::HTMLVeiwerFRM(App& app) : Form(app)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetCaption(kCaption);
    Twips::resizeClient(this, 8040, 6840);
    setFixedSize(size());

    ImagePic = new ImageControl(app.services().pictures, ImageControl::Mode::Stretch, this);
    ImagePic->setObjectName(QStringLiteral("ImagePic"));
    Twips::place(ImagePic, 0, 0, 8055, 6855);
    ImagePic->lower();

    data = new QLabel(QStringLiteral("URL:"), this);
    data->setObjectName(QStringLiteral("data"));
    data->setFont(Look::font(kFontPoints));
    Look::setTextColor(data, Look::highlightText());
    Twips::place(data, 120, 150, 420, 180);

    URL = new QLineEdit(QStringLiteral("www."), this);
    URL->setObjectName(QStringLiteral("URL"));
    URL->setFont(Look::font(kFontPoints));
    Twips::place(URL, 600, 120, 3735, 285);

    VS = new QPushButton(QStringLiteral("View Source"), this);
    VS->setObjectName(QStringLiteral("VS"));
    VS->setFont(Look::font(kFontPoints, true));
    Twips::place(VS, 4440, 120, 1575, 255);

    // A vertical rule from (6120, 120) to (6120, 360).
    LineOne = new QFrame(this);
    LineOne->setObjectName(QStringLiteral("LineOne"));
    LineOne->setFrameShape(QFrame::VLine);
    LineOne->setFrameShadow(QFrame::Plain);
    Look::setTextColor(LineOne, Look::highlightText());
    Twips::place(LineOne, 6120 - Twips::kPerPixel, 120, 2 * Twips::kPerPixel, 240);

    OpenInEd = new QPushButton(QStringLiteral("Open In Editor"), this);
    OpenInEd->setObjectName(QStringLiteral("OpenInEd"));
    OpenInEd->setFont(Look::font(kFontPoints));
    Twips::place(OpenInEd, 6240, 120, 1695, 255);

    HTML = new QPlainTextEdit(this);
    HTML->setObjectName(QStringLiteral("HTML"));
    HTML->setFont(Look::font(kFontPoints));
    HTML->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Twips::place(HTML, 120, 480, 7815, 6255);

    setTabOrder(URL, VS);
    setTabOrder(VS, HTML);
    setTabOrder(HTML, OpenInEd);

    connect(VS, &QPushButton::clicked, this, &HTMLVeiwerFRM::VS_Click);
    connect(OpenInEd, &QPushButton::clicked, this, &HTMLVeiwerFRM::OpenInEd_Click);
    KeyPressHook::Install(URL, this, [this](int code) { URL_KeyPress(code); });
}

HTMLVeiwerFRM::~HTMLVeiwerFRM() = default;

void HTMLVeiwerFRM::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    ImagePic->LoadPicture(AssetPath(QStringLiteral("/Main.BMP")));
}

void HTMLVeiwerFRM::Form_Unload()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
}

void HTMLVeiwerFRM::VS_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    VS->setEnabled(false);
    App& program = app();
    QPointer<HTMLVeiwerFRM> self(this);
    // The transfer waits in an event loop of its own: the window keeps
    // painting, and may be closed or the program ended meanwhile.
    const TransferResult result = program.services().transfer.OpenURL(URL->text());
    if (!self || program.ended())
        return;
    // A failed fetch leaves no earlier page's source under the new address.
    if (result.ok)
        HTML->setPlainText(result.text);
    else
        HTML->clear();
    VS->setEnabled(true);
    if (!result.ok)
        program.services().messages.Warning(this, kProblemTitle, result.error);
}

void HTMLVeiwerFRM::URL_KeyPress(int keyAscii)
{
    // Enter works as the button does, and like the button it does nothing
    // while a fetch is running.
    if (keyAscii == 13 && VS->isEnabled())
        VS_Click();
}

void HTMLVeiwerFRM::OpenInEd_Click()
{
    const QString text = PlainText::Of(HTML);
    EditorFRM* editor = app().forms().Get<EditorFRM>();
    editor->SetText(text);
    app().forms().Show<EditorFRM>();
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
}
