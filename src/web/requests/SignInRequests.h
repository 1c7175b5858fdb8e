#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QAuthenticator;
class QUrl;
class QWebEnginePage;

// Answers a site's or a proxy's demand for a user name and password (HTTP
// Basic and Digest): a dialog names the site by its host and the realm it
// gave; OK retries with what the user typed, Cancel shows the server's own
// page. Wrong credentials are asked again, up to kAttempts times per host
// and realm in one page load; after that the server's page is shown.
// Nothing is kept but the last user name typed for a host and realm, in
// memory. A child of the page.
class SignInRequests final : public QObject {
    Q_OBJECT
public:
    static constexpr int kAttempts = 3;

    explicit SignInRequests(QWebEnginePage* page);

private:
    void OnSiteAsks(const QUrl& url, QAuthenticator* authenticator);
    void OnProxyAsks(const QUrl& url, QAuthenticator* authenticator, const QString& proxyHost);
    void SignIn(const QString& text, const QString& host, QAuthenticator* authenticator);

    QWebEnginePage* m_page;
    // How often each host and realm was asked since the last load ended.
    QHash<QString, int> m_asked;
    QHash<QString, QString> m_users;
};
