#pragma once

#include <QObject>
#include <QPointer>

class FullScreenWindow;
class QWebEngineFullScreenRequest;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

// Answers everything a page asks of its browser beyond showing it: a sign-in
// (SignInRequests), an untrusted certificate (CertificateRequests), a
// permission (PermissionRequests), printing (PagePrinter) and the whole
// screen (FullScreenWindow). The engine fails such a request quietly when
// nobody answers it, so every page the program shows gets one of these.
// A child of the page.
class PageRequests final : public QObject {
    Q_OBJECT
public:
    // `view` is the view the page belongs to.
    PageRequests(QWebEnginePage* page, QWebEngineView* view);
    ~PageRequests() override;

    // What the profile's pages may do and how their notifications are shown;
    // called once, when the profile is made.
    static void PrepareProfile(QWebEngineProfile* profile);

    // The window showing the page over the whole screen, or null.
    FullScreenWindow* fullScreenWindow() const;

private:
    void OnFullScreenRequested(QWebEngineFullScreenRequest request);

    QPointer<QWebEngineView> m_view;
    QPointer<FullScreenWindow> m_fullScreen;
};
