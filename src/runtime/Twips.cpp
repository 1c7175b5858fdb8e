#include "runtime/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace Twips {

int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kPerPixel));
}

void place(QWidget* widget, double left, double top, double width, double height)
{
    widget->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void setLeft(QWidget* widget, double left)
{
    widget->move(toPixels(left), widget->y());
}

void setTop(QWidget* widget, double top)
{
    widget->move(widget->x(), toPixels(top));
}

bool setWidth(QWidget* widget, double width)
{
    if (width < 0)
        return false;
    widget->resize(toPixels(width), widget->height());
    return true;
}

bool setHeight(QWidget* widget, double height)
{
    if (height < 0)
        return false;
    widget->resize(widget->width(), toPixels(height));
    return true;
}

double left(const QWidget* widget) { return fromPixels(widget->x()); }
double top(const QWidget* widget) { return fromPixels(widget->y()); }
double width(const QWidget* widget) { return fromPixels(widget->width()); }
double height(const QWidget* widget) { return fromPixels(widget->height()); }

void resizeClient(QWidget* window, double width, double height)
{
    window->resize(toPixels(width), toPixels(height));
}

double clientWidth(const QWidget* window) { return fromPixels(window->width()); }
double clientHeight(const QWidget* window) { return fromPixels(window->height()); }
double outerLeft(const QWidget* window) { return fromPixels(window->frameGeometry().x()); }
double outerTop(const QWidget* window) { return fromPixels(window->frameGeometry().y()); }
double outerWidth(const QWidget* window) { return fromPixels(window->frameGeometry().width()); }
double outerHeight(const QWidget* window) { return fromPixels(window->frameGeometry().height()); }

void moveOuter(QWidget* window, double left, double top)
{
    // move() on a top-level window places its frame, so this is the outer position.
    window->move(toPixels(left), toPixels(top));
}

double screenWidth(const QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    Q_UNUSED(window);
    return screen ? fromPixels(screen->geometry().width()) : 0.0;
}

}  // namespace Twips
