#pragma once

#include <QPixmap>
#include <QWidget>

class PictureLoader;

// An image control: shows a bitmap loaded from a file, either stretched over
// the control's rectangle or at the bitmap's own size, and reports the mouse.
// A skinned button is one of these with a rest and a pressed face.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Stretch, BitmapSize };

    ImageControl(PictureLoader& loader, Mode mode, QWidget* parent);

    // Loads the picture. A file that cannot be loaded leaves the picture that
    // was showing (none at first) and returns false.
    bool LoadPicture(const QString& path);
    QString PictureFile() const { return m_file; }
    const QPixmap& picture() const { return m_picture; }

signals:
    void MouseDown();
    void Click();
    void DblClick();
    void MouseMove();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    PictureLoader& m_loader;
    Mode m_mode;
    QPixmap m_picture;
    QString m_file;
    bool m_pressed = false;
};
