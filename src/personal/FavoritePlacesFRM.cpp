#include "personal/FavoritePlacesFRM.h"

#include "personal/RuleLines.h"
#include "personal/FavouritesList.h"
#include "runtime/App.h"
#include "runtime/ImageControl.h"
#include "runtime/KeyPress.h"
#include "runtime/Look.h"
#include "runtime/MainBrowser.h"
#include "ports/Services.h"
#include "runtime/Twips.h"
#include "userfiles/UserFiles.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

namespace {
const QString kInitialAddress = QStringLiteral("www.");
}

FavoritePlacesFRM::FavoritePlacesFRM(App& app) : Form(app)
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetCaption(Title());
    Twips::resizeClient(this, 4575, 2895);
    setFixedSize(size());
    setFont(Look::font(8.25));

    PictureLoader& pictures = app.services().pictures;
    // Created bottom first: the background lies under every other control.
    BGPic = new ImageControl(pictures, ImageControl::Mode::Stretch, this);
    Twips::place(BGPic, 0, 0, 4575, 2895);

    Line = new RuleLines(Look::windowText(), this);
    Twips::place(Line, 0, 0, 4575, 2895);
    Line->AddLine(1080, 480, 1080, 120);

    ListBox = new QListWidget(this);
    Twips::place(ListBox, 120, 600, 4335, 2220);
    ListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every row is one line of the same font: measuring one row is enough,
    // which keeps a list of a million entries quick to fill.
    ListBox->setUniformItemSizes(true);
    ListBox->setFont(Look::font(8.25));
    Look::setColors(ListBox, Look::darkRed(), Look::windowBackground());
    ListBox->viewport()->installEventFilter(this);

    URL = new QLineEdit(kInitialAddress, this);
    Twips::place(URL, 2160, 160, 2295, 285);
    URL->setFont(Look::font(8.25));
    Look::setColors(URL, Look::darkRed(), Look::windowBackground());
    KeyPressHook::Install(URL, this, [this](int code) { URL_KeyPress(code); });

    Add = new ImageControl(pictures, ImageControl::Mode::Stretch, this);
    Twips::place(Add, 120, 120, 855, 375);
    connect(Add, &ImageControl::MouseDown, this, &FavoritePlacesFRM::Add_MouseDown);
    connect(Add, &ImageControl::Click, this, &FavoritePlacesFRM::Add_Click);
    Add->MakeKeyboardButton(QStringLiteral("Add"));

    Del = new ImageControl(pictures, ImageControl::Mode::Stretch, this);
    Twips::place(Del, 1200, 120, 855, 375);
    connect(Del, &ImageControl::MouseDown, this, &FavoritePlacesFRM::Del_MouseDown);
    connect(Del, &ImageControl::Click, this, &FavoritePlacesFRM::Del_Click);
    Del->MakeKeyboardButton(QStringLiteral("Del"));

    // The list has the focus when the window opens; the address box comes next.
    setTabOrder(ListBox, URL);
    ListBox->setFocus();
}

FavoritePlacesFRM::~FavoritePlacesFRM() = default;

QString FavoritePlacesFRM::Title()
{
    return QStringLiteral("Favorite Places") + QString(14, QLatin1Char(' ')) + QStringLiteral("NB");
}

QString FavoritePlacesFRM::FavoritesPath() const
{
    if (m_favoritesPath.isEmpty())
        m_favoritesPath = UserFiles::Locate(app().programDir(), QStringLiteral("FavPlaces.TXT"));
    return m_favoritesPath;
}

void FavoritePlacesFRM::Form_Load()
{
    PlayWave(AssetPath(QStringLiteral("/OpenWin.WAV")));
    BGPic->LoadPicture(AssetPath(QStringLiteral("/Main.BMP")));
    Del->LoadPicture(AssetPath(QStringLiteral("/DelUP.BMP")));
    Add->LoadPicture(AssetPath(QStringLiteral("/AddUP.BMP")));

    // The reader lets events run before every entry: this window may be
    // closed, or the program ended, before it returns.
    const QPointer<FavoritePlacesFRM> self(this);
    App& program = app();
    m_readingList = true;
    ravel32::ReadListFile(FavoritesPath(), ListBox, [this] { return LetEventsRun(); });
    if (!self || self->isUnloaded() || program.ended())
        return;
    m_readingList = false;
    ApplyPendingChanges();
}

bool FavoritePlacesFRM::LetEventsRun()
{
    // The event loop runs before the first entry and then before every 64th:
    // other windows stay responsive while a long list is read, and a list of
    // a million entries does not spend most of its time in the event loop.
    static constexpr int kEntriesPerTurn = 64;
    if (m_entriesSinceTurn++ % kEntriesPerTurn != 0)
        return true;
    const QPointer<FavoritePlacesFRM> self(this);
    App& program = app();
    QCoreApplication::processEvents();
    return self && !self->isUnloaded() && !program.ended();
}

void FavoritePlacesFRM::Form_Unload()
{
    PlayWave(AssetPath(QStringLiteral("/CloseWin.WAV")));
}

void FavoritePlacesFRM::Add_MouseDown()
{
    Add->LoadPicture(AssetPath(QStringLiteral("/AddDOWN.BMP")));
}

void FavoritePlacesFRM::Del_MouseDown()
{
    Del->LoadPicture(AssetPath(QStringLiteral("/DelDOWN.BMP")));
}

void FavoritePlacesFRM::Add_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    if (m_readingList)
        m_pending.push_back({PendingChange::Kind::Add, URL->text()});
    else
        AppendEntry(URL->text());
    URL->setText(kInitialAddress);
    Add->LoadPicture(AssetPath(QStringLiteral("/AddUP.BMP")));
}

void FavoritePlacesFRM::URL_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        Add_Click();
}

void FavoritePlacesFRM::Del_Click()
{
    PlayWave(AssetPath(QStringLiteral("/Click.WAV")));
    if (m_readingList)
        m_pending.push_back({PendingChange::Kind::Del, QString()});
    else if (ListBox->count() > 0)
        RemoveSelectedEntry();
    Del->LoadPicture(AssetPath(QStringLiteral("/DelUP.BMP")));
}

void FavoritePlacesFRM::AppendEntry(const QString& text)
{
    ravel32::AppendListEntry(ListBox, text);
    WriteList();
}

void FavoritePlacesFRM::WriteList()
{
    QString error;
    if (!ravel32::WriteListFile(FavoritesPath(), ListBox, &error))
        UserFiles::TellNotSaved(app().services().messages, this, FavoritesPath(), error);
}

void FavoritePlacesFRM::RemoveSelectedEntry()
{
    const QList<QListWidgetItem*> selected = ListBox->selectedItems();
    if (!selected.isEmpty()) {
        ravel32::RemoveListEntry(ListBox, ListBox->row(selected.first()));
        // Nothing is selected after a removal, so a second Del removes nothing.
        ListBox->clearSelection();
    }
    // Written whether or not an entry was removed.
    WriteList();
}

void FavoritePlacesFRM::ApplyPendingChanges()
{
    std::vector<PendingChange> pending;
    pending.swap(m_pending);
    for (const PendingChange& change : pending) {
        if (change.kind == PendingChange::Kind::Add)
            AppendEntry(change.text);
        else if (ListBox->count() > 0)
            RemoveSelectedEntry();
    }
}

void FavoritePlacesFRM::ListBox_DblClick()
{
    const QList<QListWidgetItem*> selected = ListBox->selectedItems();
    if (selected.isEmpty())
        return;
    // The whole entry, also when the list shows it cut short.
    const QString address = ravel32::ListEntryText(selected.first());
    app().mainBrowser().Navigate(address);
}

bool FavoritePlacesFRM::eventFilter(QObject* watched, QEvent* event)
{
    // The list's double-click runs wherever it lands in the list, as long as
    // an entry is selected; the list still handles the event itself.
    if (event->type() == QEvent::MouseButtonDblClick && watched == ListBox->viewport())
        ListBox_DblClick();
    return Form::eventFilter(watched, event);
}
