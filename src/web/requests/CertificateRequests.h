#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QWebEngineCertificateError>

class QWebEnginePage;

// Answers a site whose certificate cannot be trusted. The load waits while a
// dialog names the site and the problem in plain words; its default is not
// to go on. Going on, where the engine lets the user decide, admits that
// certificate for this run of the program only (the engine keeps it in
// memory); otherwise the page shows an error page naming the problem (the
// engine's own would call the site unreachable).
// A child of the page.
class CertificateRequests final : public QObject {
    Q_OBJECT
public:
    explicit CertificateRequests(QWebEnginePage* page);

    // What is wrong, as the end of "The site sent a certificate that ...".
    static QString Problem(const QWebEngineCertificateError& error);

private:
    void OnCertificateError(QWebEngineCertificateError error);
    void Decide(QWebEngineCertificateError error, bool goOn);
    void OnLoadFinished(bool ok);

    QWebEnginePage* m_page;
    // The address refused last and why, until its error page is shown.
    QUrl m_refused;
    QString m_problem;
};
