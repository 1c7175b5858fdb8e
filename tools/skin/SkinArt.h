#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPolygonF>
#include <QSize>
#include <QString>

// Draws the skin bitmaps: the splash picture, the window background and the
// faces of the skinned buttons. Everything is painted from code so that the
// same program always produces the same pixels.
class SkinArt {
public:
    // `family` is the lettering of the buttons and the splash (OCR-A). With a
    // `scale` of 2 every bitmap is drawn at twice its size, for screens with
    // two device pixels to a logical pixel; the drawing is the same.
    explicit SkinArt(QString family, int scale = 1);

    // The six buttons of the main window take the bitmap's own size.
    static QSize mainButtonSize();
    // Add and Del are stretched into their controls; drawn at that size.
    static QSize listButtonSize();
    // The splash picture is stretched to its image control; drawn at that size.
    static QSize introSize();
    // The background is stretched over windows of every size.
    static QSize backgroundSize();

    QImage button(const QString& caption, QSize size, bool pressed) const;
    QImage intro() const;
    QImage background() const;

    // The program's icon, `size` pixels square, and the same drawing as SVG.
    QImage icon(int size) const;
    static QByteArray iconSvg();

private:
    QFont lettering(int pixelSize, bool bold = false) const;
    void paintRestFace(QImage& image) const;
    void paintPressedFace(QImage& image) const;
    void paintCaption(QImage& image, const QString& caption, bool pressed) const;
    void paintIntroBackdrop(QImage& image) const;
    void paintIntroTitle(QImage& image) const;
    void paintIntroTagline(QImage& image) const;

    static QPolygonF iconLetter();

    QString m_family;
    int m_scale = 1;
};
