#include "web/engine/WebEngineBrowser.h"

#include "text/PageText.h"
#include "web/engine/EnginePage.h"
#include "web/engine/FindBar.h"
#include "web/engine/LocalFileScheme.h"
#include "web/requests/PageRequests.h"
#include "web/engine/WebEngineBrowserFactory.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QWebEngineHistory>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>

namespace {

// The engine reports progress in percent.
constexpr int kProgressMaximum = 100;
// What the control reports as progress once a load is over.
constexpr int kProgressDone = -1;

// "C:\", "d:/games" and the like.
bool IsDrivePath(const QString& address)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]"));
    return drive.match(address).hasMatch();
}

QUrl DrivePathToUrl(const QString& address)
{
#ifdef Q_OS_WIN
    return QUrl::fromLocalFile(QDir::fromNativeSeparators(address));
#else
    // No drive letters here: the drive stands for the file-system root, and
    // the rest of the path is read from there.
    QString rest = address.mid(3);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QUrl::fromLocalFile(QLatin1Char('/') + rest);
#endif
}

// Web addresses that name no server lead nowhere.
bool NeedsHost(const QUrl& url)
{
    static const QStringList network{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp"),
                                     QStringLiteral("ws"), QStringLiteral("wss")};
    return network.contains(url.scheme(), Qt::CaseInsensitive);
}

// An address as the user sees it: a local file's as a file: address, with
// nothing in it that could make it read differently from what it is.
QString ShownAddress(const QUrl& url)
{
    return PageText::ShownAddress(LocalFileScheme::ToShown(url).toString());
}

}  // namespace

WebEngineBrowser::WebEngineBrowser(WebEngineBrowserFactory& factory, QWebEngineProfile* profile, QWidget* parent)
    : BrowserControl(parent), m_factory(factory), m_view(new QWebEngineView(parent)),
      m_page(new EnginePage(profile, m_view))
{
    m_view->setPage(m_page);
    new FindBar(m_view);
    new PageRequests(m_page, m_view);

    connect(m_page, &QWebEnginePage::loadStarted, this, &WebEngineBrowser::OnLoadStarted);
    connect(m_page, &QWebEnginePage::loadProgress, this, &WebEngineBrowser::OnLoadProgress);
    connect(m_page, &QWebEnginePage::urlChanged, this, &WebEngineBrowser::OnUrlChanged);
    connect(m_page, &QWebEnginePage::loadFinished, this, &WebEngineBrowser::OnLoadFinished);
    connect(m_page, &QWebEnginePage::linkHovered, this, &WebEngineBrowser::OnLinkHovered);
    connect(m_page, &QWebEnginePage::urlChanged, this, &BrowserControl::LocationChanged);
    connect(m_page, &QWebEnginePage::titleChanged, this, &BrowserControl::LocationChanged);
    connect(m_page, &QWebEnginePage::newWindowRequested, this, &WebEngineBrowser::OfferNewWindow);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, &WebEngineBrowser::OnRendererEnded);
}

WebEngineBrowser::~WebEngineBrowser()
{
    // The view lives in the parent window and normally dies with it; a control
    // deleted on its own takes its view along, so no page outlives it.
    if (m_page)
        m_page->disconnect(this);
    delete m_view.data();
}

QWidget* WebEngineBrowser::widget() const
{
    return m_view;
}

QString WebEngineBrowser::HomePage()
{
    return QStringLiteral("https://www.wikipedia.org/");
}

QString WebEngineBrowser::SearchPage()
{
    return QStringLiteral("https://duckduckgo.com/");
}

QUrl WebEngineBrowser::AddressToUrl(const QString& address)
{
    if (address.trimmed().isEmpty())
        return {};
    if (IsDrivePath(address))
        return DrivePathToUrl(address);
    if (QDir::isAbsolutePath(address))
        return QUrl::fromLocalFile(address);
    const QFileInfo local(address);
    if (local.exists())
        return QUrl::fromLocalFile(local.absoluteFilePath());
    // A full address is taken as it stands; guessing at a broken one would
    // turn "http://exa mple.org" into some other address.
    const QUrl url = address.contains(QLatin1String("://")) ? QUrl(address.trimmed()) : QUrl::fromUserInput(address);
    if (!url.isValid() || url.scheme().isEmpty() || (NeedsHost(url) && url.host().isEmpty()))
        return {};
    return url;
}

bool WebEngineBrowser::Navigate(const QString& address)
{
    const QUrl url = AddressToUrl(address);
    if (!url.isValid() || !m_page)
        return false;
    LoadAsked();
    m_page->LoadForUser(LocalFileScheme::ToLoaded(url));
    return true;
}

bool WebEngineBrowser::GoBack()
{
    if (!m_page || !m_page->history()->canGoBack())
        return false;
    LoadAsked();
    m_page->history()->back();
    return true;
}

bool WebEngineBrowser::GoForward()
{
    if (!m_page || !m_page->history()->canGoForward())
        return false;
    LoadAsked();
    m_page->history()->forward();
    return true;
}

bool WebEngineBrowser::Refresh()
{
    if (!m_page || m_page->url().isEmpty())
        return false;
    LoadAsked();
    m_page->triggerAction(QWebEnginePage::Reload);
    return true;
}

bool WebEngineBrowser::Stop()
{
    if (!m_page)
        return false;
    m_asked.invalidate();
    m_page->UserLeaves();
    m_page->triggerAction(QWebEnginePage::Stop);
    return true;
}

bool WebEngineBrowser::GoHome()
{
    return Navigate(HomePage());
}

bool WebEngineBrowser::GoSearch()
{
    return Navigate(SearchPage());
}

QString WebEngineBrowser::LocationURL() const
{
    return m_page ? ShownAddress(m_page->url()) : QString();
}

QString WebEngineBrowser::LocationName() const
{
    const QString title = m_page ? PageText::Shown(m_page->title()) : QString();
    return title.isEmpty() ? LocationURL() : title;
}

namespace {
// A load asked for that the engine has not started within this time (a jump
// within the same page, say) no longer counts as busy.
constexpr qint64 kLoadStartGraceMs = 1500;
}  // namespace

void WebEngineBrowser::LoadAsked()
{
    m_asked.start();
    m_page->UserLeaves();
}

bool WebEngineBrowser::Busy() const
{
    return m_loading || (m_asked.isValid() && m_asked.elapsed() < kLoadStartGraceMs);
}

void WebEngineBrowser::OnLoadStarted()
{
    m_asked.invalidate();
    // A load that replaces one still running continues its sequence: the
    // caller has had its DownloadBegin and gets one DocumentComplete.
    if (m_loading)
        return;
    m_loading = true;
    m_navigateRaised = false;
    emit DownloadBegin();
}

void WebEngineBrowser::OnLoadProgress(int progress)
{
    if (m_loading)
        emit ProgressChange(progress, kProgressMaximum);
}

void WebEngineBrowser::OnUrlChanged(const QUrl& url)
{
    // The address changes during a load when the new page is committed.
    if (m_loading && !url.isEmpty())
        RaiseNavigateComplete();
}

void WebEngineBrowser::OnLoadFinished(bool /*ok*/)
{
    m_asked.invalidate();
    if (!m_loading)
        return;
    // A failed load ends as a good one does: the engine shows its error page
    // in the view, and the caller sees its sequence closed.
    // Each handler may close the window that holds this control.
    const QPointer<WebEngineBrowser> self(this);
    RaiseNavigateComplete();
    if (!self)
        return;
    m_loading = false;
    emit ProgressChange(kProgressDone, kProgressMaximum);
    if (!self)
        return;
    emit DownloadComplete();
    if (!self)
        return;
    emit DocumentComplete(LocationURL());
}

void WebEngineBrowser::OnRendererEnded()
{
    // A load the renderer's end cut off is over, as a failed one is; if the
    // page asks for it again, that is a load of its own.
    if (m_loading)
        OnLoadFinished(false);
}

void WebEngineBrowser::RaiseNavigateComplete()
{
    if (m_navigateRaised)
        return;
    m_navigateRaised = true;
    emit NavigateComplete2(LocationURL());
}

void WebEngineBrowser::OnLinkHovered(const QString& link)
{
    const QString url = link.isEmpty() ? link : ShownAddress(QUrl(link));
    // The engine clears the hovered link with every page it shows, also when
    // no link was under the pointer; the status text has not changed then.
    if (url == m_statusText)
        return;
    m_statusText = url;
    emit StatusTextChange(url);
}

void WebEngineBrowser::OfferNewWindow(QWebEngineNewWindowRequest& request)
{
    NewWindowRequest offer;
    offer.userInitiated = request.isUserInitiated();
    offer.url = ShownAddress(request.requestedUrl());
    const QPointer<WebEngineBrowser> self(this);
    emit NewWindow2(offer);
    if (!self || offer.cancel)
        return;  // left unadopted, the engine drops the window
    m_factory.OpenWindow(request, this);
}
