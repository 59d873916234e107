#include "core/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <cmath>

namespace twips {
namespace {
double g_perPixel = 0.0;

// Each axis keeps (twips set last, pixel it mapped to).
double read(const QWidget *w, const char *name, int pixelsNow) {
    const QVariant kept = w->property(name);
    if (kept.isValid()) {
        const QPointF pair = kept.toPointF();
        if (qRound(pair.y()) == pixelsNow) return pair.x();
    }
    return fromPixels(pixelsNow);
}

void keep(QWidget *w, const char *name, double value, int pixels) {
    w->setProperty(name, QPointF(value, pixels));
}

}  // namespace

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

double left(const QWidget *w) {
    return read(w, "_twLeft", w->geometry().x());
}
double top(const QWidget *w) {
    return read(w, "_twTop", w->geometry().y());
}
double width(const QWidget *w) {
    return read(w, "_twWidth", w->geometry().width());
}
double height(const QWidget *w) {
    return read(w, "_twHeight", w->geometry().height());
}

void setLeft(QWidget *w, double value) {
    const int px = toPixels(value);
    w->move(px, w->geometry().y());
    keep(w, "_twLeft", value, px);
}

void setTop(QWidget *w, double value) {
    const int px = toPixels(value);
    w->move(w->geometry().x(), px);
    keep(w, "_twTop", value, px);
}

void setWidth(QWidget *w, double value) {
    const int px = qMax(0, toPixels(value));
    w->resize(px, w->geometry().height());
    keep(w, "_twWidth", value, px);
}

void setHeight(QWidget *w, double value) {
    const int px = qMax(0, toPixels(value));
    w->resize(w->geometry().width(), px);
    keep(w, "_twHeight", value, px);
}

void place(QWidget *w, double l, double t, double wd, double h) {
    setLeft(w, l);
    setTop(w, t);
    setWidth(w, wd);
    setHeight(w, h);
}

}  // namespace twips
