#include "web/engine/DownloadKeeper.h"

#include "ports/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// The file name the engine suggests, reduced to a plain name in one folder.
QString PlainName(const QString& suggested)
{
    const QString name = QFileInfo(suggested).fileName().trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("download");
    return name;
}

// The window of the view whose page started the download, if any.
QWidget* WindowOf(const QWebEngineDownloadRequest* download)
{
    QWebEnginePage* page = download->page();
    QWebEngineView* view = page ? QWebEngineView::forPage(page) : nullptr;
    return view ? view->window() : nullptr;
}

}  // namespace

DownloadKeeper::DownloadKeeper(QWebEngineProfile* profile, Messages& messages)
    : QObject(profile), m_messages(messages)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadKeeper::OnDownloadRequested);
}

QString DownloadKeeper::Folder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QDir().mkpath(downloads))
        return downloads;
    return QDir::homePath();
}

QString DownloadKeeper::FreeName(const QString& folder, const QString& name, const QSet<QString>& taken)
{
    const QDir dir(folder);
    const auto free = [&](const QString& candidate) {
        const QString path = dir.filePath(candidate);
        return !taken.contains(path) && !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
    };
    if (free(name))
        return name;
    const QFileInfo info(name);
    const QString base = info.completeBaseName().isEmpty() ? name : info.completeBaseName();
    const QString suffix = info.completeBaseName().isEmpty() || info.suffix().isEmpty()
                               ? QString()
                               : QLatin1Char('.') + info.suffix();
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        if (free(candidate))
            return candidate;
    }
}

void DownloadKeeper::OnDownloadRequested(QWebEngineDownloadRequest* download)
{
    if (download->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    // A page saved on purpose already carries the place its caller chose.
    if (download->isSavePageDownload()) {
        download->accept();
        return;
    }
    const QString folder = Folder();
    const QString name = FreeName(folder, PlainName(download->suggestedFileName()), m_running);
    download->setDownloadDirectory(folder);
    download->setDownloadFileName(name);
    m_running.insert(QDir(folder).filePath(name));
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download] { OnFinished(download); });
    download->accept();
}

void DownloadKeeper::OnFinished(QWebEngineDownloadRequest* download)
{
    if (!download->isFinished())
        return;
    disconnect(download, nullptr, this, nullptr);
    m_running.remove(QDir(download->downloadDirectory()).filePath(download->downloadFileName()));
    Notify(download);
}

void DownloadKeeper::Notify(QWebEngineDownloadRequest* download)
{
    const QString name = download->downloadFileName();
    const QString folder = QDir::toNativeSeparators(download->downloadDirectory());
    QString text;
    Messages::Icon icon = Messages::Icon::Information;
    if (download->state() == QWebEngineDownloadRequest::DownloadCompleted) {
        text = tr("Saved %1 in %2.").arg(name, folder);
    } else {
        QString reason = download->interruptReasonString().trimmed();
        if (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        if (download->state() == QWebEngineDownloadRequest::DownloadCancelled || reason.isEmpty())
            reason = tr("it was cancelled");
        text = tr("The download of %1 failed: %2.").arg(name, reason);
        icon = Messages::Icon::Warning;
    }
    m_messages.Show(icon, Messages::Modality::None, WindowOf(download), tr("Download"), text);
}
