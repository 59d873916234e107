#include "core/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace twips {
namespace {
double g_perPixel = 0.0;
}

double perPixel() {
    if (g_perPixel <= 0.0) {
        double dpi = 96.0;
        if (auto *screen = QGuiApplication::primaryScreen()) {
            dpi = screen->logicalDotsPerInchX();
        }
        if (!(dpi >= 24.0 && dpi <= 1000.0)) dpi = 96.0;
        g_perPixel = 1440.0 / dpi;
    }
    return g_perPixel;
}

void setPerPixel(double value) {
    g_perPixel = value;
}

int toPixels(double tw) {
    if (!std::isfinite(tw)) return 0;
    double px = std::round(tw / perPixel());
    // Keep absurd stored values inside what X11 coordinates can carry.
    if (px > 30000.0) px = 30000.0;
    if (px < -30000.0) px = -30000.0;
    return static_cast<int>(px);
}

double fromPixels(int px) {
    return px * perPixel();
}

QRect rect(double left, double top, double width, double height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

}  // namespace twips
