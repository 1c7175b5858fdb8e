#pragma once

#include <QWidget>

class QLabel;

// What the page area shows when its page has stopped: a notice of the
// program's own over the whole view, in the program's look, saying why the
// page stopped, with its address and how to get it back. It keeps to the
// view's size.
class CrashNotice final : public QWidget {
    Q_OBJECT
public:
    // `view` is the widget showing the page; the notice lies over it.
    CrashNotice(QWidget* view, const QString& why, const QString& address);

    QString Text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_text;
};
