#pragma once

#include <QObject>
#include <QTimer>

// Text cursors blink while the user works and stand still once the user has
// left the keyboard and mouse alone for kRestMs, as desktop systems do: a
// blink repaints its window, and a window that shows a web page composes the
// whole page again for it, which would keep a resting browser busy. The next
// key or click starts the blinking again.
class CursorBlinkRest final : public QObject {
    Q_OBJECT
public:
    static constexpr int kRestMs = 5000;

    // Watches the input of the whole application.
    explicit CursorBlinkRest(int restMs = kRestMs, QObject* parent = nullptr);
    ~CursorBlinkRest() override;

    bool Resting() const { return m_resting; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Rest();
    void Wake();

    QTimer m_rest;
    int m_flashTime = 0;
    bool m_resting = false;
};
