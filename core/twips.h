#pragma once

class QWidget;

// Every position and size of the system is in twips; pixels only exist here.
namespace twips {

// Twips per logical pixel, from the primary screen's logical DPI (15 at 96 DPI).
double perPixel();
int toPixels(double tw);
double fromPixels(int px);

// Geometry of any widget in twips. The value last set is kept so that a position that
// does not fall on a whole pixel (Left 9999) reads back exactly as long as the widget
// has not moved since.
double left(const QWidget *w);
double top(const QWidget *w);
double width(const QWidget *w);
double height(const QWidget *w);
void setLeft(QWidget *w, double value);
void setTop(QWidget *w, double value);
void setWidth(QWidget *w, double value);
void setHeight(QWidget *w, double value);
void place(QWidget *w, double left, double top, double width, double height);

}  // namespace twips
