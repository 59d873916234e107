#include "core/host_services.h"

#include <QLocale>
#include <QtGlobal>

namespace {
HostServices *g_host = nullptr;
}  // namespace

HostServices &host() {
    if (!g_host) qFatal("host(): no host services installed; call setHost() first");
    return *g_host;
}

void setHost(HostServices *services) {
    g_host = services;
}

void reportUnsavedSettings(int failuresBefore) {
    if (host().saveFailures() == failuresBefore) return;
    host().messageBox(QStringLiteral("Your settings could not be saved to ") +
                          host().settingsLocation() +
                          QStringLiteral(". Changes made now will be lost when TALVENDOK ends."),
                      16);
}

bool HostServices::loadPicture(const QString &path, QPixmap *out, QSize preferred) {
    PictureDecoder decode;
    if (!readPicture(path, &decode, preferred)) return false;
    *out = decode();
    return !out->isNull();
}

QRectF HostServices::screenOf(const QRectF &window) {
    const QList<QRectF> screens = screensTwips();
    auto overlap = [&window](const QRectF &screen) {
        const QRectF common = screen.intersected(window);
        return common.width() * common.height();
    };
    auto distance = [&window](const QRectF &screen) {
        const double dx =
            qMax(0.0, qMax(screen.left() - window.right(), window.left() - screen.right()));
        const double dy =
            qMax(0.0, qMax(screen.top() - window.bottom(), window.top() - screen.bottom()));
        return dx * dx + dy * dy;
    };
    QRectF best = screens.constFirst();
    for (const QRectF &screen : screens) {
        if (overlap(screen) > overlap(best) ||
            (overlap(best) <= 0 && distance(screen) < distance(best)))
            best = screen;
    }
    return best;
}

QString clockText(const QTime &time) {
    int hour = time.hour() % 12;
    if (hour == 0) hour = 12;
    const QLocale locale = QLocale::system();
    QString designator = time.hour() < 12 ? locale.amText() : locale.pmText();
    if (designator.isEmpty())
        designator = time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
    return QStringLiteral("%1:%2:%3 %4")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'))
        .arg(designator);
}
