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

    // Loads the picture. On a screen with more than one device pixel per
    // logical pixel the file's double-size companion ("BackUP@2x.BMP" beside
    // "BackUP.BMP") is used when there is one; the control keeps the size of
    // the plain file either way. A file that cannot be loaded leaves the
    // picture that was showing (none at first) and returns false. When the
    // window moves to a screen of another ratio the file is chosen again.
    bool LoadPicture(const QString& path);
    QString PictureFile() const { return m_file; }
    const QPixmap& picture() const { return m_picture; }

    // Makes the image a button for the keyboard and for screen readers: it
    // takes the focus with Tab, Space or Enter press and click it as the
    // mouse would, and `name` is its accessible name and tooltip.
    void MakeKeyboardButton(const QString& name);
    bool isKeyboardButton() const { return m_keyboardButton; }

    // Presses and clicks the image from the keyboard, with the handlers a
    // mouse click runs: MouseDown, then Click. While they run,
    // keyboardPress() is true.
    void Press();
    bool keyboardPress() const { return m_keyboardPress; }

    // "/BackUP.BMP" -> "/BackUP@2x.BMP".
    static QString DoubleSizeName(const QString& path);
    // The picture for a screen of `devicePixelRatio`: the double-size file
    // (marked as two device pixels a pixel) when the ratio is above 1 and
    // the file is there, else the plain file.
    static QPixmap LoadFor(PictureLoader& loader, const QString& path, qreal devicePixelRatio);

signals:
    void MouseDown();
    void Click();
    void DblClick();
    void MouseMove();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    PictureLoader& m_loader;
    Mode m_mode;
    QPixmap m_picture;
    QString m_file;
    bool m_pressed = false;
    bool m_keyboardButton = false;
    bool m_keyboardPress = false;
};
