#pragma once

#include <QString>
#include <QWidget>

// A caption that wraps blanks like any other character: a long run of blanks
// fills whole lines before the words that follow it, as the splash window's
// caption expects. When the wrapped text is taller than the caption, its last
// lines are kept in view, so the words after the blanks are always shown.
// It lays its text out only to paint it (a QLabel would also lay it out
// again, its own way, as the window is first shown).
class BlankWrappingLabel final : public QWidget {
    Q_OBJECT
public:
    BlankWrappingLabel(QString text, QWidget* parent);

    const QString& text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
