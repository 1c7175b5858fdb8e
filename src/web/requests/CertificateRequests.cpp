#include "web/requests/CertificateRequests.h"

#include "web/engine/PageDialog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineView>

CertificateRequests::CertificateRequests(QWebEnginePage* page) : QObject(page), m_page(page)
{
    connect(page, &QWebEnginePage::certificateError, this, &CertificateRequests::OnCertificateError);
    connect(page, &QWebEnginePage::loadFinished, this, &CertificateRequests::OnLoadFinished);
}

QString CertificateRequests::Problem(const QWebEngineCertificateError& error)
{
    using Error = QWebEngineCertificateError;
    switch (error.type()) {
    case Error::CertificateAuthorityInvalid: return QStringLiteral("is not issued by an authority this browser trusts");
    case Error::CertificateCommonNameInvalid: return QStringLiteral("is made out to a different site");
    case Error::CertificateDateInvalid: return QStringLiteral("has expired or is not valid yet");
    case Error::CertificateRevoked: return QStringLiteral("has been revoked by its issuer");
    case Error::CertificateContainsErrors:
    case Error::CertificateInvalid: return QStringLiteral("is not valid");
    case Error::CertificateNoRevocationMechanism: return QStringLiteral("offers no way to check whether it was revoked");
    case Error::CertificateUnableToCheckRevocation: return QStringLiteral("could not be checked for revocation");
    case Error::CertificateWeakSignatureAlgorithm: return QStringLiteral("is signed with a weak algorithm");
    case Error::CertificateWeakKey: return QStringLiteral("has a key too weak to be safe");
    case Error::CertificateNonUniqueName: return QStringLiteral("names a host that is not unique");
    case Error::CertificateNameConstraintViolation: return QStringLiteral("breaks the limits its issuer set on names");
    case Error::CertificateValidityTooLong: return QStringLiteral("is valid for too long to be trusted");
    case Error::CertificateTransparencyRequired: return QStringLiteral("was not publicly logged as it must be");
    case Error::CertificateKnownInterceptionBlocked: return QStringLiteral("is known to be used to spy on connections");
    case Error::SslPinnedKeyNotInCertificateChain: return QStringLiteral("does not hold the keys this site is known to use");
    default: return QStringLiteral("cannot be trusted (%1)").arg(error.description());
    }
}

void CertificateRequests::OnCertificateError(QWebEngineCertificateError error)
{
    // The load waits for the answer, which the user gives in their own time.
    error.defer();
    const QString host = error.url().host();
    QString text = QStringLiteral("The site %1 sent a certificate that %2.\n\n").arg(host, Problem(error));
    if (error.isOverridable())
        text += QStringLiteral("Someone may be posing as the site to read what you send it. "
                               "Go on only if you know why this is. Going on trusts this certificate "
                               "until Nimbrel ends.");
    else
        text += QStringLiteral("The page cannot be shown.");
    auto* dialog = new PageDialog(QWebEngineView::forPage(m_page), QStringLiteral("Certificate problem - %1").arg(host),
                                  text);
    if (error.isOverridable()) {
        dialog->SetButtons(QStringLiteral("Go &on"), QStringLiteral("Go &back"), true);
    } else {
        dialog->SetButtons(QStringLiteral("OK"));
        Decide(error, false);
    }
    connect(dialog, &QDialog::finished, this,
            [this, error, dialog](int result) {
                dialog->disconnect(this);  // answered: its going says nothing more
                Decide(error, result == QDialog::Accepted);
            });
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    // A dialog gone with its window, unanswered, does not go on.
    connect(dialog, &QObject::destroyed, this, [this, error] { Decide(error, false); });
    // The user going elsewhere meanwhile is an answer too.
    connect(m_page, &QWebEnginePage::loadStarted, dialog, &PageDialog::Dismiss);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void CertificateRequests::Decide(QWebEngineCertificateError error, bool goOn)
{
    // An error is answered once; later calls do nothing.
    if (goOn && error.isOverridable()) {
        error.acceptCertificate();
        return;
    }
    if (m_refused != error.url()) {
        m_refused = error.url();
        m_problem = Problem(error);
    }
    error.rejectCertificate();
}

void CertificateRequests::OnLoadFinished(bool ok)
{
    if (ok || m_refused.isEmpty() || m_page->url() != m_refused) {
        if (ok)
            m_refused.clear();
        return;
    }
    // The engine's error page stays (Refresh tries again), but says what it
    // is; the words go in as text, never as markup.
    const QString host = m_refused.host();
    const QJsonArray words{
        QStringLiteral("Certificate problem - %1").arg(host),
        QStringLiteral("This page was not shown"),
        QStringLiteral("The site %1 sent a certificate that %2, so Nimbrel did not show %3.")
            .arg(host, m_problem, m_refused.toDisplayString()),
    };
    m_refused.clear();
    m_page->runJavaScript(QStringLiteral(
        "((w) => { document.title = w[0]; const b = document.body; b.textContent = '';"
        " b.style.cssText = 'margin:0;padding:32px;background:#181818;color:#fff;font:16px monospace';"
        " const h = document.createElement('h1'); h.textContent = w[1]; h.style.color = '#ff4040';"
        " const p = document.createElement('p'); p.textContent = w[2]; b.append(h, p); })(%1)")
                              .arg(QString::fromUtf8(QJsonDocument(words).toJson(QJsonDocument::Compact))));
}
