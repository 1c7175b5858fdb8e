#include "web/requests/SignInRequests.h"

#include "web/engine/PageDialog.h"

#include <QAuthenticator>
#include <QLineEdit>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

SignInRequests::SignInRequests(QWebEnginePage* page) : QObject(page), m_page(page)
{
    connect(page, &QWebEnginePage::authenticationRequired, this, &SignInRequests::OnSiteAsks);
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this, &SignInRequests::OnProxyAsks);
    // Each load gets its own attempts.
    connect(page, &QWebEnginePage::loadFinished, this, [this] { m_asked.clear(); });
}

void SignInRequests::OnSiteAsks(const QUrl& url, QAuthenticator* authenticator)
{
    const QString host = url.host();
    SignIn(QStringLiteral("The site %1 asks you to sign in.").arg(host), host, authenticator);
}

void SignInRequests::OnProxyAsks(const QUrl& /*url*/, QAuthenticator* authenticator, const QString& proxyHost)
{
    SignIn(QStringLiteral("The proxy %1 asks you to sign in.").arg(proxyHost), proxyHost, authenticator);
}

void SignInRequests::SignIn(const QString& text, const QString& host, QAuthenticator* authenticator)
{
    const QString realm = authenticator->realm();
    const QString key = host + QLatin1Char('\n') + realm;
    if (++m_asked[key] > kAttempts) {
        *authenticator = QAuthenticator();  // the server's own page
        return;
    }
    QString question = text;
    if (!realm.isEmpty())
        question += QStringLiteral("\nIt calls the area \"%1\".").arg(realm);
    if (m_asked.value(key) > 1)
        question += QStringLiteral("\nThe user name or password was not accepted; try again.");

    PageDialog dialog(QWebEngineView::forPage(m_page), QStringLiteral("Sign in - %1").arg(host), question);
    QLineEdit* user = dialog.AddField(QStringLiteral("&User name:"));
    QLineEdit* password = dialog.AddField(QStringLiteral("&Password:"), true);
    user->setText(m_users.value(key));
    if (!user->text().isEmpty())
        password->setFocus();
    dialog.SetButtons(QStringLiteral("OK"), QStringLiteral("Cancel"));
    const QPointer<SignInRequests> self(this);
    const bool accepted = dialog.Ask();
    if (!self)
        return;
    if (!accepted) {
        *authenticator = QAuthenticator();
        return;
    }
    m_users.insert(key, user->text());
    authenticator->setUser(user->text());
    authenticator->setPassword(password->text());
}
