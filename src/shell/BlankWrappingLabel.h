#pragma once

#include <QLabel>

// A label that wraps blanks like any other character: a long run of blanks
// fills whole lines before the words that follow it, as the splash window's
// caption expects. When the wrapped text is taller than the label, its last
// lines are kept in view, so the words after the blanks are always shown.
class BlankWrappingLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};
