#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

class BrowserControl;

// What the other windows may ask of the main browser: its control's address,
// page name and view size (with a signal when any of them changes), a
// navigation, and the latest reading-progress line. The main window attaches
// its control as it is built and the control goes with it; without one every
// read is empty and Navigate does nothing, so asking never creates a main
// window.
class MainBrowser final : public QObject {
    Q_OBJECT
public:
    // The main window's control (it lives exactly as long as that window).
    void Attach(BrowserControl* control);
    bool Attached() const { return !m_control.isNull(); }

    QString LocationURL() const;
    QString LocationName() const;
    QSize ViewSize() const;
    // False without a main browser or when the control refused the address.
    bool Navigate(const QString& address);

    // The progress line the main window's progress handler writes last.
    void SetProgressLine(const QString& line);
    const QString& ProgressLine() const { return m_progressLine; }

signals:
    void ProgressLineChanged();
    // The address, the page name or the view's size may have changed.
    void Changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<BrowserControl> m_control;
    QString m_progressLine;
};
