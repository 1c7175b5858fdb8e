#include "web/engine/LocalFileScheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

const QByteArray LocalFileScheme::kName = QByteArrayLiteral("nimbrel-file");

void LocalFileScheme::Register()
{
    if (!QWebEngineUrlScheme::schemeByName(kName).name().isEmpty())
        return;
    // A path scheme without special rights: its pages' origins are opaque,
    // and requests that need CORS are refused between them.
    QWebEngineUrlScheme scheme(kName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::NoAccessAllowed | QWebEngineUrlScheme::ViewSourceAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl LocalFileScheme::ToLoaded(const QUrl& url)
{
    if (!url.isLocalFile())
        return url;
    QUrl loaded;
    loaded.setScheme(QString::fromLatin1(kName));
    loaded.setPath(url.path());
    loaded.setQuery(url.query());
    loaded.setFragment(url.fragment());
    return loaded;
}

QUrl LocalFileScheme::ToShown(const QUrl& url)
{
    if (url.scheme() != QLatin1String(kName))
        return url;
    QUrl shown = QUrl::fromLocalFile(url.path());
    shown.setQuery(url.query());
    shown.setFragment(url.fragment());
    return shown;
}

bool LocalFileScheme::MayLoad(const QWebEngineUrlRequestJob& job)
{
    // The user's own navigation has no initiator, and a page of the scheme an
    // opaque one ("null"); anything asked for by a page with an origin of
    // its own (a web page) is refused.
    const QUrl initiator = job.initiator();
    return job.requestMethod() == "GET"
           && (initiator.isEmpty() || initiator.scheme().isEmpty() || initiator.scheme() == QLatin1String(kName));
}

void LocalFileScheme::requestStarted(QWebEngineUrlRequestJob* job)
{
    if (!MayLoad(*job)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const QString path = job->requestUrl().path();
    const QFileInfo info(path);
    if (info.isDir()) {
        // A folder's own address ends with a slash, so the names it lists are read from within it.
        if (!path.endsWith(QLatin1Char('/'))) {
            QUrl inside = job->requestUrl();
            inside.setPath(path + QLatin1Char('/'));
            job->redirect(inside);
            return;
        }
        ReplyWithListing(job, path);
        return;
    }
    auto* file = new QFile(path, job);
    if (!info.isFile() || !file->open(QIODevice::ReadOnly)) {
        job->fail(info.exists() ? QWebEngineUrlRequestJob::RequestDenied : QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QByteArray type = QMimeDatabase().mimeTypeForFile(info).name().toLatin1();
    job->reply(type, file);
}

void LocalFileScheme::ReplyWithListing(QWebEngineUrlRequestJob* job, const QString& folder)
{
    QString shownPath = QDir::cleanPath(folder);
    if (!shownPath.endsWith(QLatin1Char('/')))
        shownPath += QLatin1Char('/');
    const QString title = QStringLiteral("Index of %1").arg(shownPath.toHtmlEscaped());
    QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                                  "<body><h1>%1</h1><ul>").arg(title);
    if (shownPath != QLatin1String("/"))
        html += QStringLiteral("<li><a href=\"..\">[parent folder]</a></li>");
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                                            QDir::DirsFirst | QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName() + (entry.isDir() ? QStringLiteral("/") : QString());
        const QString href = QString::fromLatin1(QUrl::toPercentEncoding(name, "/"));
        html += QStringLiteral("<li><a href=\"%1\">%2</a></li>").arg(href.toHtmlEscaped(), name.toHtmlEscaped());
    }
    html += QStringLiteral("</ul></body></html>");
    auto* page = new QBuffer(job);
    page->setData(html.toUtf8());
    page->open(QIODevice::ReadOnly);
    job->reply(QByteArrayLiteral("text/html"), page);
}
