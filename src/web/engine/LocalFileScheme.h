#pragma once

#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

// Local files are shown through a scheme of the program's own instead of the
// engine's file: scheme, so a page from a local file is as closed in as a web
// page: each such page is an origin of its own (as a sandboxed frame is), so it
// shows the pictures, style sheets and scripts beside it, but no script of it
// can read another file (XMLHttpRequest and fetch are cross-origin requests
// the scheme refuses, a frame's document is out of reach, a picture drawn
// into a canvas taints it), and the web it reaches only as the web's
// cross-origin rules allow. The engine's file: pages cannot have that: they
// either read every file or show none of the files beside them.
//
// The user sees and types file: addresses as always; the browser control
// turns one into the other on the way in and out (ToShown, ToLoaded). Web
// pages cannot load anything through the scheme: only the user's own
// navigation and pages of the scheme itself may.
class LocalFileScheme final : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    static const QByteArray kName;

    // Makes the scheme known to the engine; call before the first profile is
    // made (the engine takes no new schemes after that). Harmless when repeated.
    static void Register();

    // The address to load for a file: address (others are returned as they are).
    static QUrl ToLoaded(const QUrl& url);
    // The file: address the user sees for an address of the scheme.
    static QUrl ToShown(const QUrl& url);

    explicit LocalFileScheme(QObject* parent = nullptr) : QWebEngineUrlSchemeHandler(parent) {}
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    static bool MayLoad(const QWebEngineUrlRequestJob& job);
    static void ReplyWithListing(QWebEngineUrlRequestJob* job, const QString& folder);
};
