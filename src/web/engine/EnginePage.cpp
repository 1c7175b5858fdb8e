#include "web/engine/EnginePage.h"

#include "text/PageText.h"
#include "web/engine/CrashNotice.h"
#include "web/engine/LocalFileScheme.h"
#include "web/engine/PageDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QWebEngineScript>
#include <QWebEngineView>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {

// A load the user asked for that has not reached the page after this long
// has the page's script asked whether it is still there ...
constexpr int kWaitBeforeProbeMs = 4000;
// ... and a renderer that has not answered after this much longer is ended.
constexpr int kProbeAnswerMs = 3000;

QString WhoAsks(const QUrl& origin)
{
    const QString host = origin.host();
    return host.isEmpty() ? QStringLiteral("This page") : PageText::Shown(host);
}

QString WhyStopped(QWebEnginePage::RenderProcessTerminationStatus status)
{
    switch (status) {
    case QWebEnginePage::KilledTerminationStatus:
        return QStringLiteral("Its process was killed, by another program or because the computer ran out of memory.");
    case QWebEnginePage::CrashedTerminationStatus:
        return QStringLiteral("Its process crashed.");
    default:
        return QStringLiteral("Its process ended unexpectedly.");
    }
}

}  // namespace

EnginePage::EnginePage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent)
{
    m_waitCheck.setSingleShot(true);
    connect(&m_waitCheck, &QTimer::timeout, this, &EnginePage::CheckWaitingLoad);
    connect(this, &QWebEnginePage::loadStarted, this, &EnginePage::OnLoadStarted);
    connect(this, &QWebEnginePage::urlChanged, this, &EnginePage::OnUrlChanged);
    connect(this, &QWebEnginePage::loadFinished, this, &EnginePage::StopWaiting);
    connect(this, &QWebEnginePage::renderProcessTerminated, this, &EnginePage::OnRendererEnded);
}

EnginePage::~EnginePage()
{
    delete m_dialog.data();
}

void EnginePage::UserLeaves()
{
    if (m_dialog)
        m_dialog->Dismiss();
}

void EnginePage::LoadForUser(const QUrl& url)
{
    m_waiting = url;
    m_probeAnswered = true;
    m_waitCheck.start(kWaitBeforeProbeMs);
    load(url);
}

// --- a script's dialogs ---------------------------------------------------------------

EnginePage::Answer EnginePage::AskUser(const QUrl& origin, const QString& message, bool withCancel,
                                       const QString* value)
{
    if (m_dialogsStopped || m_dialog)
        return {};
    ++m_dialogsShown;
    auto* dialog = new PageDialog(QWebEngineView::forPage(this), WhoAsks(origin) + QStringLiteral(" says"), message);
    m_dialog = dialog;
    QLineEdit* field = value ? dialog->AddField(QStringLiteral("Answer")) : nullptr;
    if (field)
        field->setText(*value);
    QCheckBox* stop = m_dialogsShown > 1 ? dialog->AddCheck(QStringLiteral("&Stop this page from showing more dialogs")) : nullptr;
    dialog->SetButtons(QStringLiteral("OK"), withCancel ? QStringLiteral("Cancel") : QString());

    const QPointer<EnginePage> self(this);
    Answer answer;
    answer.accepted = dialog->Ask();
    if (!self || !m_dialog)
        return {};
    if (field)
        answer.text = field->text();
    if (stop && stop->isChecked())
        m_dialogsStopped = true;
    m_dialog->deleteLater();
    return answer;
}

void EnginePage::javaScriptAlert(const QUrl& origin, const QString& message)
{
    AskUser(origin, message, false, nullptr);
}

bool EnginePage::javaScriptConfirm(const QUrl& origin, const QString& message)
{
    return AskUser(origin, message, true, nullptr).accepted;
}

bool EnginePage::javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value, QString* result)
{
    const Answer answer = AskUser(origin, message, true, &value);
    if (answer.accepted && result)
        *result = answer.text;
    return answer.accepted;
}

// --- navigation and the renderer's end --------------------------------------------------

void EnginePage::OnLoadStarted()
{
    HideNotice();
    // A new document: its dialogs start afresh, and one still open goes.
    m_dialogsShown = 0;
    m_dialogsStopped = false;
    if (m_dialog)
        m_dialog->Dismiss();
}

void EnginePage::OnUrlChanged(const QUrl& url)
{
    if (!m_waiting.isEmpty() && url.matches(m_waiting, QUrl::StripTrailingSlash | QUrl::RemoveFragment))
        StopWaiting();
}

void EnginePage::StopWaiting()
{
    // A load that has reached the page, or ended either way, waits on nothing:
    // the check ends with it, so a page at rest is never woken by it.
    m_waiting.clear();
    m_waitCheck.stop();
}

void EnginePage::OnRendererEnded(RenderProcessTerminationStatus status, int /*exitCode*/)
{
    if (m_dialog)
        m_dialog->Dismiss();
    if (status == NormalTerminationStatus)
        return;
    // The user's load that the renderer held up goes ahead in a new one.
    if (!m_waiting.isEmpty()) {
        LoadForUser(m_waiting);
        return;
    }
    ShowNotice(status);
    emit Stopped();
}

void EnginePage::CheckWaitingLoad()
{
    if (m_waiting.isEmpty() || !isLoading())
        return StopWaiting();
    if (!m_probeAnswered) {
        EndUnansweringRenderer();
        return;
    }
    // Still waiting: is the page's script there to answer?
    m_probeAnswered = false;
    const int probe = ++m_probe;
    const QPointer<EnginePage> self(this);
    runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld, [self, probe](const QVariant&) {
        if (self && self->m_probe == probe)
            self->m_probeAnswered = true;
    });
    m_waitCheck.start(kProbeAnswerMs);
}

void EnginePage::EndUnansweringRenderer()
{
#ifdef Q_OS_UNIX
    // The renderer is held up for good (a script that never returns); ending it
    // lets the load the user asked for go ahead in a new one.
    const qint64 pid = renderProcessPid();
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGKILL);
#endif
}

void EnginePage::ShowNotice(RenderProcessTerminationStatus status)
{
    HideNotice();
    QWebEngineView* view = QWebEngineView::forPage(this);
    if (!view)
        return;
    const QString address = PageText::ShownAddress(LocalFileScheme::ToShown(url()).toString());
    m_notice = new CrashNotice(view, WhyStopped(status), address);
}

void EnginePage::HideNotice()
{
    delete m_notice.data();
}
