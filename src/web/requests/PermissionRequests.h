#pragma once

#include "web/requests/SitePermissions.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QtGlobal>
#include <QWebEnginePage>
#include <functional>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

class PageDialog;

// Answers what a page asks permission for (its visitor's location,
// notifications, camera, microphone, the screen, the mouse pointer, the
// clipboard): a site asking for the first time gets a question to the user
// naming the site and the feature; the answer goes back to the page at once
// and is remembered for that site and feature (SitePermissions), so the site
// is not asked about again while the program runs. A request the page
// withdraws, or leaves behind for another document, closes its question.
// A child of the page.
class PermissionRequests final : public QObject {
    Q_OBJECT
public:
    PermissionRequests(QWebEnginePage* page, SitePermissions& permissions);
    ~PermissionRequests() override;

private:
    using Reply = std::function<void(bool allowed)>;
    struct Pending {
        QPointer<PageDialog> dialog;
        QUrl origin;
        SitePermissions::Feature feature = SitePermissions::Feature::Notifications;
        QList<Reply> replies;
    };

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    void OnPermissionRequested(QWebEnginePermission permission);
#else
    void OnFeatureRequested(const QUrl& origin, QWebEnginePage::Feature feature);
    void OnFeatureWithdrawn(const QUrl& origin, QWebEnginePage::Feature feature);
#endif
    void Ask(const QUrl& origin, SitePermissions::Feature feature, const Reply& reply);
    void OpenQuestion(const QString& key, const QUrl& origin, SitePermissions::Feature feature);
    void OnAnswered(const QString& key, bool allowed);
    void Withdraw(const QUrl& origin, SitePermissions::Feature feature);
    void WithdrawAll();
    static QString Key(const QUrl& origin, SitePermissions::Feature feature);

    QWebEnginePage* m_page;
    SitePermissions& m_permissions;
    QHash<QString, Pending> m_pending;
};
