#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>

class QWebEngineProfile;

// What the user answered when a site asked for a feature (its location,
// notifications, the camera ...), remembered per site and feature for as
// long as the program runs and never written anywhere. One set serves every
// page of a profile: it is a child of the profile, found with For().
class SitePermissions final : public QObject {
    Q_OBJECT
public:
    // The features a page can ask for, in the words the questions use.
    enum class Feature {
        Location,
        Notifications,
        Microphone,
        Camera,
        CameraAndMicrophone,
        ScreenSharing,
        ScreenAndSoundSharing,
        MouseLock,
        Clipboard,
        LocalFonts,
    };

    explicit SitePermissions(QWebEngineProfile* profile);

    // The profile's set, made on first use.
    static SitePermissions& For(QWebEngineProfile* profile);

    // What the site was answered, or nothing when it has not asked yet.
    std::optional<bool> Answer(const QUrl& origin, Feature feature) const;
    void Remember(const QUrl& origin, Feature feature, bool allowed);

    // "show notifications", "use your camera" ...: what the site would do.
    static QString Describe(Feature feature);
    // The site as the user knows it: its host (or the whole address where it has none).
    static QString SiteName(const QUrl& origin);

private:
    static QString Key(const QUrl& origin, Feature feature);

    QHash<QString, bool> m_answers;
};
