#include "web/requests/PermissionRequests.h"

#include "web/engine/PageDialog.h"

#include <QWebEngineView>
#include <optional>

namespace {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
std::optional<SitePermissions::Feature> FeatureOf(QWebEnginePermission::PermissionType type)
{
    using Type = QWebEnginePermission::PermissionType;
    using Feature = SitePermissions::Feature;
    switch (type) {
    case Type::Geolocation: return Feature::Location;
    case Type::Notifications: return Feature::Notifications;
    case Type::MediaAudioCapture: return Feature::Microphone;
    case Type::MediaVideoCapture: return Feature::Camera;
    case Type::MediaAudioVideoCapture: return Feature::CameraAndMicrophone;
    case Type::DesktopVideoCapture: return Feature::ScreenSharing;
    case Type::DesktopAudioVideoCapture: return Feature::ScreenAndSoundSharing;
    case Type::MouseLock: return Feature::MouseLock;
    case Type::ClipboardReadWrite: return Feature::Clipboard;
    case Type::LocalFontsAccess: return Feature::LocalFonts;
    default: return std::nullopt;
    }
}
#else
SitePermissions::Feature FeatureOf(QWebEnginePage::Feature feature)
{
    using Feature = SitePermissions::Feature;
    switch (feature) {
    case QWebEnginePage::Geolocation: return Feature::Location;
    case QWebEnginePage::Notifications: return Feature::Notifications;
    case QWebEnginePage::MediaAudioCapture: return Feature::Microphone;
    case QWebEnginePage::MediaVideoCapture: return Feature::Camera;
    case QWebEnginePage::MediaAudioVideoCapture: return Feature::CameraAndMicrophone;
    case QWebEnginePage::DesktopVideoCapture: return Feature::ScreenSharing;
    case QWebEnginePage::DesktopAudioVideoCapture: return Feature::ScreenAndSoundSharing;
    case QWebEnginePage::MouseLock: return Feature::MouseLock;
    }
    return Feature::Notifications;
}
#endif

}  // namespace

PermissionRequests::PermissionRequests(QWebEnginePage* page, SitePermissions& permissions)
    : QObject(page), m_page(page), m_permissions(permissions)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    connect(page, &QWebEnginePage::permissionRequested, this, &PermissionRequests::OnPermissionRequested);
#else
    connect(page, &QWebEnginePage::featurePermissionRequested, this, &PermissionRequests::OnFeatureRequested);
    connect(page, &QWebEnginePage::featurePermissionRequestCanceled, this, &PermissionRequests::OnFeatureWithdrawn);
#endif
    // A new document in the page: whatever the old one asked goes with it,
    // unanswered (the engine does not report that as a withdrawal).
    connect(page, &QWebEnginePage::loadStarted, this, &PermissionRequests::WithdrawAll);
}

PermissionRequests::~PermissionRequests()
{
    // The page is going: its questions have no one left to answer.
    const auto pending = m_pending;
    m_pending.clear();
    for (const Pending& question : pending)
        delete question.dialog.data();
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
void PermissionRequests::OnPermissionRequested(QWebEnginePermission permission)
{
    const std::optional<SitePermissions::Feature> feature = FeatureOf(permission.permissionType());
    if (!feature) {
        permission.deny();  // nothing the user could be asked about
        return;
    }
    Ask(permission.origin(), *feature, [permission](bool allowed) mutable {
        // A request the page has dropped meanwhile is no longer valid.
        if (!permission.isValid())
            return;
        if (allowed)
            permission.grant();
        else
            permission.deny();
    });
}
#else
void PermissionRequests::OnFeatureRequested(const QUrl& origin, QWebEnginePage::Feature feature)
{
    const QPointer<QWebEnginePage> page(m_page);
    Ask(origin, FeatureOf(feature), [page, origin, feature](bool allowed) {
        if (page)
            page->setFeaturePermission(origin, feature,
                                       allowed ? QWebEnginePage::PermissionGrantedByUser
                                               : QWebEnginePage::PermissionDeniedByUser);
    });
}

void PermissionRequests::OnFeatureWithdrawn(const QUrl& origin, QWebEnginePage::Feature feature)
{
    Withdraw(origin, FeatureOf(feature));
}
#endif

QString PermissionRequests::Key(const QUrl& origin, SitePermissions::Feature feature)
{
    return origin.toString() + QLatin1Char(' ') + QString::number(static_cast<int>(feature));
}

void PermissionRequests::Ask(const QUrl& origin, SitePermissions::Feature feature, const Reply& reply)
{
    if (const std::optional<bool> known = m_permissions.Answer(origin, feature)) {
        reply(*known);
        return;
    }
    const QString key = Key(origin, feature);
    const bool open = m_pending.contains(key);
    Pending& pending = m_pending[key];
    pending.origin = origin;
    pending.feature = feature;
    pending.replies.append(reply);
    if (!open)
        OpenQuestion(key, origin, feature);
}

void PermissionRequests::OpenQuestion(const QString& key, const QUrl& origin, SitePermissions::Feature feature)
{
    const QString site = SitePermissions::SiteName(origin);
    const QString text = QStringLiteral("The site %1 wants to %2.\n\nAllow it?")
                             .arg(site, SitePermissions::Describe(feature));
    // Over the view that shows the page now: the full-screen one while the
    // page has the whole screen.
    QWidget* over = QWebEngineView::forPage(m_page);
    auto* dialog = new PageDialog(over, QStringLiteral("Permission - %1").arg(site), text);
    dialog->SetButtons(QStringLiteral("&Allow"), QStringLiteral("&Block"), true);
    m_pending[key].dialog = dialog;
    connect(dialog, &QDialog::finished, this,
            [this, key](int result) { OnAnswered(key, result == QDialog::Accepted); });
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    // A dialog that goes with its window unanswered blocks, and is not remembered.
    connect(dialog, &QObject::destroyed, this, [this, key] {
        const auto pending = m_pending.take(key);
        for (const Reply& reply : pending.replies)
            reply(false);
    });
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void PermissionRequests::OnAnswered(const QString& key, bool allowed)
{
    const auto found = m_pending.constFind(key);
    if (found == m_pending.constEnd())
        return;  // withdrawn by the page
    const Pending pending = *found;
    m_pending.erase(found);
    m_permissions.Remember(pending.origin, pending.feature, allowed);
    for (const Reply& reply : pending.replies)
        reply(allowed);
}

void PermissionRequests::Withdraw(const QUrl& origin, SitePermissions::Feature feature)
{
    const Pending pending = m_pending.take(Key(origin, feature));
    if (pending.dialog)
        pending.dialog->Dismiss();
}

void PermissionRequests::WithdrawAll()
{
    const auto pending = m_pending;
    for (const Pending& question : pending)
        Withdraw(question.origin, question.feature);
}
