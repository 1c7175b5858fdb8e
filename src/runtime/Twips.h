#pragma once

#include <QtGlobal>

class QWidget;

// Every position and size in the windows' tables is written in twips
// (1/1440 inch). At 96 dpi 15 twips make one logical pixel; Qt scales logical
// pixels on high-density screens, so the conversion stays fixed.
namespace Twips {

inline constexpr double kPerPixel = 15.0;

int toPixels(double twips);
inline double fromPixels(int px) { return px * kPerPixel; }

// Child controls: left, top, width, height in twips within the parent's client area.
void place(QWidget* widget, double left, double top, double width, double height);
void setLeft(QWidget* widget, double left);
void setTop(QWidget* widget, double top);
// A negative size cannot be applied: the widget keeps its size and false is returned.
bool setWidth(QWidget* widget, double width);
bool setHeight(QWidget* widget, double height);
double left(const QWidget* widget);
double top(const QWidget* widget);
double width(const QWidget* widget);
double height(const QWidget* widget);

// Windows: the client area, and the outer rectangle (border and title bar included).
void resizeClient(QWidget* window, double width, double height);
double clientWidth(const QWidget* window);
double clientHeight(const QWidget* window);
double outerLeft(const QWidget* window);
double outerTop(const QWidget* window);
double outerWidth(const QWidget* window);
double outerHeight(const QWidget* window);
void moveOuter(QWidget* window, double left, double top);
double screenWidth(const QWidget* window);

// Font sizes of the tables are in points (8.25, 9, 9.75, 20.25).
}  // namespace Twips
