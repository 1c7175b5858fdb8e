#include "runtime/ImageControl.h"

#include "ports/PictureLoader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMetaEnum>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {

// Screen readers see a keyboard image button as a push button they can press.
class ImageButtonAccessible final : public QAccessibleWidget {
public:
    explicit ImageButtonAccessible(ImageControl* image) : QAccessibleWidget(image, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<ImageControl*>(widget())->Press();
    }
};

QAccessibleInterface* imageButtonFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("ImageControl") || !object || !object->isWidgetType())
        return nullptr;
    auto* image = static_cast<ImageControl*>(object);
    return image->isKeyboardButton() ? new ImageButtonAccessible(image) : nullptr;
}

void installAccessibleFactoryOnce()
{
    static const bool installed = [] {
        QAccessible::installFactory(imageButtonFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace

ImageControl::ImageControl(PictureLoader& loader, Mode mode, QWidget* parent)
    : QWidget(parent), m_loader(loader), m_mode(mode)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

QString ImageControl::DoubleSizeName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash)
        return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

QPixmap ImageControl::LoadFor(PictureLoader& loader, const QString& path, qreal devicePixelRatio)
{
    if (devicePixelRatio > 1.0) {
        QPixmap sharp = loader.Load(DoubleSizeName(path));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return loader.Load(path);
}

bool ImageControl::LoadPicture(const QString& path)
{
    const QPixmap loaded = LoadFor(m_loader, path, devicePixelRatioF());
    if (loaded.isNull())
        return false;
    m_file = path;
    // The picture already shown is not drawn again: Enter in the address box
    // runs the Go button's click, which puts back the rest face the button
    // never left. The loader hands out the pixmap it keeps until the file
    // changes, so the same key means the same pixels.
    if (loaded.cacheKey() == m_picture.cacheKey())
        return true;
    m_picture = loaded;
    if (m_mode == Mode::BitmapSize)
        resize(m_picture.deviceIndependentSize().toSize());
    update();
    return true;
}

void ImageControl::MakeKeyboardButton(const QString& name)
{
    installAccessibleFactoryOnce();
    m_keyboardButton = true;
    // Tab reaches it; a mouse click does not take the focus from the page or
    // the address box, as a browser's toolbar buttons do not.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(name);
    setToolTip(name);
}

void ImageControl::Press()
{
    // A handler may unload the window, and this image with it.
    QPointer<ImageControl> self(this);
    m_keyboardPress = true;
    emit MouseDown();
    if (self)
        emit Click();
    if (self)
        m_keyboardPress = false;
}

namespace {

// The event a widget gets when its window's device pixel ratio changes on the
// same screen, where the Qt it runs on has one (QEvent::DevicePixelRatioChange,
// from Qt 6.6 on); -1 on an older Qt, where a new screen is the only change.
// Found by name, so one build of this file serves every Qt 6.
int DevicePixelRatioChangeEvent()
{
    static const int type = QMetaEnum::fromType<QEvent::Type>().keyToValue("DevicePixelRatioChange");
    return type;
}

}  // namespace

bool ImageControl::event(QEvent* event)
{
    const bool ratioMayHaveChanged = event->type() == QEvent::ScreenChangeInternal
                                     || event->type() == DevicePixelRatioChangeEvent();
    const bool result = QWidget::event(event);
    // The same file again, in the size the new screen wants.
    if (ratioMayHaveChanged && !m_file.isEmpty() && (devicePixelRatioF() > 1.0) != (m_picture.devicePixelRatio() > 1.0))
        LoadPicture(m_file);
    return result;
}

void ImageControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull()) {
        if (m_mode == Mode::Stretch) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(rect(), m_picture);
        } else {
            painter.drawPixmap(0, 0, m_picture);
        }
    }
    if (hasFocus()) {
        // The keyboard focus: a dotted frame just inside the face.
        QPen pen(Qt::white, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    event->accept();
    emit MouseDown();
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    event->accept();
    // A click completes only when the button is released over the control.
    if (wasPressed && rect().contains(event->position().toPoint()))
        emit Click();
}

void ImageControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_pressed = true;
    event->accept();
    emit MouseDown();
    emit DblClick();
}

void ImageControl::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    emit MouseMove();
}

void ImageControl::keyPressEvent(QKeyEvent* event)
{
    const bool activates = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return
                           || event->key() == Qt::Key_Enter;
    if (!m_keyboardButton || !activates || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())
        Press();
}

void ImageControl::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void ImageControl::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}
