#pragma once

#include <QPoint>
#include <QRect>

// Every position and size of the system is in twips; pixels only exist here.
namespace twips {

// Twips per logical pixel, from the primary screen's logical DPI (15 at 96 DPI).
double perPixel();
// For tests and screens that report no DPI.
void setPerPixel(double value);

int toPixels(double tw);
double fromPixels(int px);
QRect rect(double left, double top, double width, double height);

}  // namespace twips
