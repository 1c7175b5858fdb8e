#pragma once

#include <QObject>
#include <QString>

class QWidget;

// A request to open a new window, raised before the window exists.
// Setting `cancel` refuses it; leaving it lets the control open the page in a
// plain browser window of its own.
struct NewWindowRequest {
    bool userInitiated = false;  // a click of the user's, not a script on its own
    QString url;
    bool cancel = false;
};

// The embeddable browser: the only thing in the program that knows how pages
// are fetched, rendered and kept in history. A page load raises DownloadBegin,
// ProgressChange, NavigateComplete2, DownloadComplete and DocumentComplete, in
// that order, ending on DocumentComplete. Operations the control refuses
// (GoBack with no earlier page, an address it cannot use) return false; the
// caller may ignore that.
class BrowserControl : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~BrowserControl() override = default;

    // The view to place in a window; owned by the parent given to the factory.
    virtual QWidget* widget() const = 0;

    virtual bool Navigate(const QString& address) = 0;
    virtual bool GoBack() = 0;
    virtual bool GoForward() = 0;
    virtual bool Refresh() = 0;
    virtual bool Stop() = 0;
    virtual bool GoHome() = 0;
    virtual bool GoSearch() = 0;

    virtual QString LocationURL() const = 0;
    virtual QString LocationName() const = 0;
    virtual bool Busy() const = 0;

signals:
    void StatusTextChange(const QString& text);
    void ProgressChange(int progress, int maximum);
    void DownloadBegin();
    void DownloadComplete();
    void NewWindow2(NewWindowRequest& request);
    void NavigateComplete2(const QString& url);
    void DocumentComplete(const QString& url);
    // The address or the page name may have changed: a new page, or the page
    // giving itself another title.
    void LocationChanged();
};

// Creates browser controls whose view is a child of `parent`; the control
// itself is a child QObject of `parent` and dies with it.
class BrowserFactory {
public:
    virtual ~BrowserFactory() = default;
    virtual BrowserControl* Create(QWidget* parent) = 0;
};
