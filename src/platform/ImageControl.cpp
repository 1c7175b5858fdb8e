#include "platform/ImageControl.h"

#include "platform/PictureLoader.h"

#include <QMouseEvent>
#include <QPainter>

ImageControl::ImageControl(PictureLoader& loader, Mode mode, QWidget* parent)
    : QWidget(parent), m_loader(loader), m_mode(mode)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

bool ImageControl::LoadPicture(const QString& path)
{
    QPixmap loaded = m_loader.Load(path);
    if (loaded.isNull())
        return false;
    m_picture = loaded;
    m_file = path;
    if (m_mode == Mode::BitmapSize)
        resize(m_picture.deviceIndependentSize().toSize());
    update();
    return true;
}

void ImageControl::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    if (m_mode == Mode::Stretch) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), m_picture);
    } else {
        painter.drawPixmap(0, 0, m_picture);
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
