#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class Messages;
class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWidget;

// Saves every file a page offers for download (an attachment, or a type the
// engine cannot show) into the user's download folder, without asking where.
// A name already taken on disk, or by a download still running, gets a number
// added, so a download never overwrites a file. When a download ends, a small
// notice that does not block any window says where the file went, or why it
// failed. Made by the browser factory as a child of its profile.
class DownloadKeeper final : public QObject {
    Q_OBJECT
public:
    DownloadKeeper(QWebEngineProfile* profile, Messages& messages);

    // The folder downloads go to: the user's download folder, made if it is
    // missing, or the home folder when that cannot be had.
    static QString Folder();

    // `name` in `folder` if no file there has that name and `taken` does not
    // hold that path; otherwise the first free "base (n).suffix".
    static QString FreeName(const QString& folder, const QString& name, const QSet<QString>& taken);

private:
    void OnDownloadRequested(QWebEngineDownloadRequest* download);
    void OnFinished(QWebEngineDownloadRequest* download);
    void Notify(QWebEngineDownloadRequest* download);

    // Full paths of downloads still running, so two at once never share a name.
    QSet<QString> m_running;
    Messages& m_messages;
};
