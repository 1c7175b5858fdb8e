#include "web/requests/SitePermissions.h"

#include <QWebEngineProfile>

SitePermissions::SitePermissions(QWebEngineProfile* profile) : QObject(profile) {}

SitePermissions& SitePermissions::For(QWebEngineProfile* profile)
{
    auto* found = profile->findChild<SitePermissions*>(QString(), Qt::FindDirectChildrenOnly);
    return found ? *found : *new SitePermissions(profile);
}

std::optional<bool> SitePermissions::Answer(const QUrl& origin, Feature feature) const
{
    const auto found = m_answers.constFind(Key(origin, feature));
    if (found == m_answers.constEnd())
        return std::nullopt;
    return *found;
}

void SitePermissions::Remember(const QUrl& origin, Feature feature, bool allowed)
{
    m_answers.insert(Key(origin, feature), allowed);
}

QString SitePermissions::Key(const QUrl& origin, Feature feature)
{
    // Scheme, host and port: a site's http and https pages, or two servers on
    // one host, are asked apart.
    const QString site = origin.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                                         QUrl::RemoveUserInfo | QUrl::StripTrailingSlash)
                             .toString();
    return site + QLatin1Char(' ') + QString::number(static_cast<int>(feature));
}

QString SitePermissions::Describe(Feature feature)
{
    switch (feature) {
    case Feature::Location: return QStringLiteral("know your location");
    case Feature::Notifications: return QStringLiteral("show notifications");
    case Feature::Microphone: return QStringLiteral("use your microphone");
    case Feature::Camera: return QStringLiteral("use your camera");
    case Feature::CameraAndMicrophone: return QStringLiteral("use your camera and microphone");
    case Feature::ScreenSharing: return QStringLiteral("see your screen");
    case Feature::ScreenAndSoundSharing: return QStringLiteral("see your screen and hear its sound");
    case Feature::MouseLock: return QStringLiteral("take over your mouse pointer");
    case Feature::Clipboard: return QStringLiteral("read your clipboard");
    case Feature::LocalFonts: return QStringLiteral("list the fonts on this computer");
    }
    return QString();
}

QString SitePermissions::SiteName(const QUrl& origin)
{
    return origin.host().isEmpty() ? origin.toDisplayString() : origin.host();
}
