#include "personal/LinksFRM.h"

#include "personal/RuleLines.h"
#include "runtime/App.h"
#include "runtime/ImageControl.h"
#include "runtime/Look.h"
#include "runtime/MainBrowser.h"
#include "ports/Services.h"
#include "runtime/Twips.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

struct Preset {
    const char* name;
    const char* address;
    const char* description;
};

// Descriptions shared by the three slots of a group.
const char kSecuritySearch[] = "Search known security holes.";
const char kSpace[] = "Space flight and astronomy.";
const char kProgramCode[] = "Open-source code hosting.";

// The fifteen slots by number. The addresses are passed to the browser as
// they stand: with "www." and no scheme, with a scheme in lower or in upper
// case, and one with a path.
const Preset kPresets[LinksFRM::kSlotCount] = {
    {"One", "www.wikipedia.org", "The free encyclopedia."},
    {"Two", "http://www.gutenberg.org", "Free e-books of the classics."},
    {"Three", "https://www.openstreetmap.org", "The free map of the world."},
    {"Four", "HTTP://www.archive.org", "Old web pages kept for all."},
    {"Five", "www.cve.org", kSecuritySearch},
    {"Six", "https://nvd.nist.gov", kSecuritySearch},
    {"Seven", "www.nasa.gov", kSpace},
    {"Eight", "https://www.esa.int", kSpace},
    {"Nine", "https://github.com", kProgramCode},
    {"Ten", "www.sourceforge.net", kProgramCode},
    {"Eleven", "HTTPS://gitlab.com", kProgramCode},
    {"Twelve", "HTTPS://www.virustotal.com", kSecuritySearch},
    {"Thirteen", "https://developer.mozilla.org/en-US/docs/Web/HTML", "The HTML and web reference."},
    {"Fourteen", "HTTP://hubblesite.org", kSpace},
    {"Fifteen", "https://libera.chat", "An open IRC chat network."},
};

// (Left, Top) of each slot by number, in twips.
const QPointF kSlotPlaces[LinksFRM::kSlotCount] = {
    {120, 600},   {120, 960},   {120, 1320}, {120, 1680}, {120, 2520},
    {120, 2880},  {2640, 120},  {2640, 480}, {2640, 1320}, {2640, 1680},
    {2640, 2040}, {120, 3240},  {120, 2040}, {2640, 840}, {120, 120},
};

}  // namespace

LinksFRM::LinksFRM(App& app) : Form(app)
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetCaption(Title());
    Twips::resizeClient(this, 5055, 3615);
    setFixedSize(size());
    setFont(Look::font(8.25));

    // Created bottom first: background, then the rules, then the controls.
    BGImage = new ImageControl(app.services().pictures, ImageControl::Mode::Stretch, this);
    Twips::place(BGImage, 0, 0, 5055, 3615);
    BGImage->setMouseTracking(true);
    connect(BGImage, &ImageControl::MouseMove, this, &LinksFRM::Form_MouseMove);

    Rules = new RuleLines(Look::windowText(), this);
    Twips::place(Rules, 0, 0, 5055, 3615);
    DrawRules();

    for (int n = 1; n <= kSlotCount; ++n)
        m_slots[n - 1] = CreateSlot(n, kSlotPlaces[n - 1].x(), kSlotPlaces[n - 1].y());
    One = Slot(1);
    Two = Slot(2);
    Three = Slot(3);
    Four = Slot(4);
    Five = Slot(5);
    Six = Slot(6);
    Seven = Slot(7);
    Eight = Slot(8);
    Nine = Slot(9);
    Ten = Slot(10);
    Eleven = Slot(11);
    Twelve = Slot(12);
    Thirteen = Slot(13);
    Fourteen = Slot(14);
    Fifteen = Slot(15);
    for (int n = 1; n < kSlotCount; ++n)
        setTabOrder(Slot(n), Slot(n + 1));

    DesY = new QGroupBox(QStringLiteral("Description"), this);
    Twips::place(DesY, 2640, 2520, 2295, 975);
    DesY->setFont(Look::font(8.25));
    Look::setColors(DesY, Look::darkRed(), Look::highlightText());
    DesY->setFocusPolicy(Qt::NoFocus);

    Data = new QLabel(DesY);
    Twips::place(Data, 120, 240, 2055, 615);
    Data->setFont(Look::font(9));
    Look::setTextColor(Data, Look::highlightText());
    Data->setAlignment(Qt::AlignCenter);
    Data->setWordWrap(true);
    Data->setMouseTracking(true);
    Data->installEventFilter(this);
    One->setFocus();
}

LinksFRM::~LinksFRM() = default;

QString LinksFRM::Title()
{
    return QStringLiteral("Links") + QString(32, QLatin1Char(' ')) + QStringLiteral("NB");
}

QString LinksFRM::PresetAddress(int number)
{
    return QString::fromUtf8(kPresets[number - 1].address);
}

QString LinksFRM::Description(int number)
{
    return QString::fromUtf8(kPresets[number - 1].description);
}

QLineEdit* LinksFRM::CreateSlot(int number, double left, double top)
{
    auto* slot = new QLineEdit(PresetAddress(number), this);
    slot->setObjectName(QString::fromLatin1(kPresets[number - 1].name));
    Twips::place(slot, left, top, 2295, 285);
    slot->setFont(Look::font(8.25));
    Look::setColors(slot, Look::windowFrame(), Look::titleBarText());
    slot->setCursorPosition(0);
    slot->setMouseTracking(true);
    slot->installEventFilter(this);
    return slot;
}

void LinksFRM::DrawRules()
{
    // The border, the column divider and the dividers of the six cells.
    Rules->AddLine(0, 0, 5040, 0);
    Rules->AddLine(5040, 0, 5040, 3600);
    Rules->AddLine(5040, 3600, 0, 3600);
    Rules->AddLine(0, 3600, 0, 0);
    Rules->AddLine(2520, 0, 2520, 3600);
    Rules->AddLine(0, 2400, 5040, 2400);
    Rules->AddLine(2520, 1200, 5040, 1200);
    Rules->AddLine(2520, 480, 0, 480);
}

void LinksFRM::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    BGImage->LoadPicture(AssetPath(QStringLiteral("/Main.BMP")));
}

void LinksFRM::Form_Unload()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
}

void LinksFRM::Slot_MouseMove(int number)
{
    Data->setText(Description(number));
}

void LinksFRM::Slot_DblClick(int number)
{
    // The slot is read afresh: an edit made to it is what opens.
    const QString address = Slot(number)->text();
    app().mainBrowser().Navigate(address);
}

void LinksFRM::Data_MouseMove()
{
    Data->setText(QStringLiteral("Description."));
}

void LinksFRM::Form_MouseMove()
{
    Data->clear();
}

int LinksFRM::SlotNumber(const QObject* control) const
{
    for (int n = 1; n <= kSlotCount; ++n)
        if (m_slots[n - 1] == control)
            return n;
    return 0;
}

bool LinksFRM::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonDblClick)
        return Form::eventFilter(watched, event);
    if (watched == Data) {
        if (type == QEvent::MouseMove)
            Data_MouseMove();
    } else if (const int number = SlotNumber(watched)) {
        if (type == QEvent::MouseMove)
            Slot_MouseMove(number);
        else
            Slot_DblClick(number);
    }
    // The slot or label still handles the event itself.
    return Form::eventFilter(watched, event);
}
