#pragma once

#include <QColor>
#include <QLineF>
#include <QList>
#include <QWidget>

// The straight lines a window draws as rules and borders. It covers its
// parent's client area, lets every mouse event through to what lies beneath,
// and draws each line given in twips from the client area's top left corner.
class RuleLines : public QWidget {
    Q_OBJECT
public:
    RuleLines(const QColor& color, QWidget* parent);

    // A line from (x1, y1) to (x2, y2), in twips.
    void AddLine(double x1, double y1, double x2, double y2);
    const QList<QLineF>& lines() const { return m_lines; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
    QList<QLineF> m_lines;
};
