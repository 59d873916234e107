// Draws TALVENDOK's stored pictures and the pictures shipped in the program folder.
//
// Usage: make_pictures <resources-dir> <temp-dir>
//
// Writes <resources-dir>/pictures/{bar,about,buttons,menu}.jpg, program.png and launch.png,
// <resources-dir>/program_folder/DEFAULT.ICO, Aurora.emb (JPEG) and Slate.emb (BMP), the
// program icon for the desktop as <resources-dir>/icons/hicolor/<n>x<n>/apps/<app-id>.png, and
// <temp-dir>/ember.png, which generate.sh turns into the GIF Membrane Ember.emb (Qt has no
// GIF writer).
//
// Every pixel comes from fixed seeds and integer hashing, so a run on the same Qt and fonts
// rewrites byte-identical files and a regenerated picture shows up in git only when its
// drawing changed.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QString>
#include <QTransform>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The application id that names the desktop entry, the icons and the metainfo.
constexpr char kAppId[] = "org.talvendok.Talvendok";

// ---- deterministic noise ----------------------------------------------------------------

quint32 mixBits(quint32 x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// A value in [0, 1] for every lattice point and seed.
double hash01(int x, int y, quint32 seed) {
    const quint32 h = mixBits(static_cast<quint32>(x) * 0x9e3779b1U ^
                              mixBits(static_cast<quint32>(y) * 0x85ebca77U ^ seed));
    return h / 4294967295.0;
}

double fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

double valueNoise(double x, double y, quint32 seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = fade(x - fx);
    const double ty = fade(y - fy);
    const double top = lerp(hash01(ix, iy, seed), hash01(ix + 1, iy, seed), tx);
    const double bottom = lerp(hash01(ix, iy + 1, seed), hash01(ix + 1, iy + 1, seed), tx);
    return lerp(top, bottom, ty);
}

// Fractal noise in [0, 1], clustered around 0.5.
double fbm(double x, double y, quint32 seed, int octaves) {
    double sum = 0.0;
    double amplitude = 1.0;
    double norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, seed + 101U * static_cast<quint32>(i));
        norm += amplitude;
        amplitude *= 0.5;
        // The odd factor and offset keep the octaves' lattices from lining up.
        x = x * 2.03 + 17.1;
        y = y * 2.03 + 5.3;
    }
    return sum / norm;
}

// Domain-warped noise: soft, cloudy blotches rather than a regular grain.
double mottle(double x, double y, double scale, quint32 seed) {
    const double u = x / scale;
    const double v = y / scale;
    const double wx = fbm(u + 3.1, v, seed + 7U, 3);
    const double wy = fbm(u, v + 5.7, seed + 13U, 3);
    return fbm(u + 1.7 * wx, v + 1.7 * wy, seed, 5);
}

// Spreads fbm's narrow range over [0, 1].
double stretch(double m, double gain) {
    return clamp01((m - 0.5) * gain + 0.5);
}

// ---- colours ----------------------------------------------------------------------------

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
    return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)};
}

Rgb scaled(Rgb c, double f) {
    return {c.r * f, c.g * f, c.b * f};
}

Rgb added(Rgb a, Rgb b, double f) {
    return {a.r + b.r * f, a.g + b.g * f, a.b + b.b * f};
}

// Piecewise-linear gradient through evenly spaced stops.
Rgb ramp(const std::vector<Rgb> &stops, double t) {
    t = clamp01(t) * static_cast<double>(stops.size() - 1);
    const size_t i = std::min(static_cast<size_t>(t), stops.size() - 2);
    return mix(stops[i], stops[i + 1], t - static_cast<double>(i));
}

QRgb toRgb(Rgb c) {
    auto channel = [](double v) {
        return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)));
    };
    return qRgb(channel(c.r), channel(c.g), channel(c.b));
}

template <typename Shader>
QImage shade(int width, int height, Shader shader) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = toRgb(shader(x, y));
    }
    return image;
}

// The same design at `scale` times the pixels (2 for dense screens): each pixel samples the
// design at its centre in 1x coordinates, so 1x output is unchanged and 2x adds detail.
// The shader also gets the pixel itself, for grain that stays one pixel fine.
template <typename Shader>
QImage shadeAt(int width, int height, double scale, Shader shader) {
    return shade(static_cast<int>(std::lround(width * scale)),
                 static_cast<int>(std::lround(height * scale)), [&](int px, int py) {
                     return shader((px + 0.5) / scale - 0.5, (py + 0.5) / scale - 0.5, px, py);
                 });
}

// The 1x row or column a sample lies in: bands and strips keep their hard edges.
int cell(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

// The bar and every Membrane keep a dark band behind the drag strip and the title, closed
// by a faint highlight line, so the white title reads on any of them.
constexpr int kBandHeight = 17;

Rgb withTitleBand(Rgb c, int y, Rgb bandTint, Rgb edge) {
    if (y < kBandHeight) {
        const double depth = 0.34 + 0.10 * y / (kBandHeight - 1.0);
        return mix(scaled(c, depth), bandTint, 0.35);
    }
    if (y == kBandHeight) return mix(c, edge, 0.45);
    if (y <= kBandHeight + 3) return scaled(c, 0.80 + 0.05 * (y - kBandHeight));
    return c;
}

// ---- painting helpers -------------------------------------------------------------------

// Three box blur passes approximate a gaussian; used for glows and soft shadows.
void blur(QImage &image, int radius) {
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = image.width();
    const int h = image.height();
    std::vector<double> src(static_cast<size_t>(w * h * 4));
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            double *p = &src[static_cast<size_t>((y * w + x) * 4)];
            p[0] = qRed(line[x]);
            p[1] = qGreen(line[x]);
            p[2] = qBlue(line[x]);
            p[3] = qAlpha(line[x]);
        }
    }
    std::vector<double> dst(src.size());
    auto pass = [&](bool horizontal) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                double sum[4] = {0, 0, 0, 0};
                for (int k = -radius; k <= radius; ++k) {
                    const int sx = horizontal ? x + k : x;
                    const int sy = horizontal ? y : y + k;
                    if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;  // transparent outside
                    const double *p = &src[static_cast<size_t>((sy * w + sx) * 4)];
                    for (int c = 0; c < 4; ++c) sum[c] += p[c];
                }
                double *q = &dst[static_cast<size_t>((y * w + x) * 4)];
                for (int c = 0; c < 4; ++c) q[c] = sum[c] / (2 * radius + 1);
            }
        }
        src.swap(dst);
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double *p = &src[static_cast<size_t>((y * w + x) * 4)];
            auto v = [](double c) {
                return static_cast<int>(std::lround(std::clamp(c, 0.0, 255.0)));
            };
            const int a = v(p[3]);
            line[x] = qRgba(std::min(v(p[0]), a), std::min(v(p[1]), a), std::min(v(p[2]), a), a);
        }
    }
}

// Fills a path with a blurred drop shadow beneath it.
void paintWithShadow(QImage &target, const QPainterPath &path, const QColor &fill,
                     const QColor &shadow, QPointF offset, int blurRadius) {
    QImage shadowLayer(target.size(), QImage::Format_ARGB32_Premultiplied);
    shadowLayer.fill(Qt::transparent);
    {
        QPainter p(&shadowLayer);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(offset);
        p.fillPath(path, shadow);
    }
    blur(shadowLayer, blurRadius);
    QPainter p(&target);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(0, 0, shadowLayer);
    p.fillPath(path, fill);
}

// Sets a caption letter by letter with an even gap between the letters' ink. The Tahoma
// faces leave uneven holes in large capitals (N-D opens wide); pairs whose ink boxes already
// overlap (T-A, A-V) keep the font's kerning. The bold face is barely heavier than the
// regular one, so the letters are thickened by an outline of extraWeight pixels.
QPainterPath captionPath(const QFont &font, const QString &text, double gap, double extraWeight) {
    const QFontMetricsF metrics(font);
    QPainterPath caption;
    double shift = 0.0;
    QRectF previous;
    for (int i = 0; i < text.size(); ++i) {
        QPainterPath letter;
        letter.addText(metrics.horizontalAdvance(text.left(i)) + shift, 0, font, text.mid(i, 1));
        const QRectF ink = letter.boundingRect();
        if (i > 0 && ink.left() > previous.right()) {
            const double move = previous.right() + gap - ink.left();
            letter.translate(move, 0);
            shift += move;
        }
        previous = letter.boundingRect();
        caption.addPath(letter);
    }
    if (extraWeight <= 0) return caption;
    QPainterPathStroker stroker;
    stroker.setWidth(extraWeight);
    stroker.setJoinStyle(Qt::RoundJoin);
    return (caption + stroker.createStroke(caption)).simplified();
}

// Moves a path so that its bounding box starts at the given point.
QPainterPath placedAt(const QPainterPath &path, QPointF topLeft) {
    const QRectF box = path.boundingRect();
    return QTransform::fromTranslate(topLeft.x() - box.left(), topLeft.y() - box.top()).map(path);
}

// ---- stored pictures --------------------------------------------------------------------

QImage makeBar(double s) {
    const Rgb dark{9, 24, 82};
    const Rgb light{38, 86, 180};
    return shadeAt(338, 142, s, [&](double x, double y, int px, int py) {
        const double m = stretch(mottle(x, y, 44.0, 11U), 2.4);
        const double grain = (hash01(px, py, 12U) - 0.5) * 0.05;
        Rgb c = scaled(mix(dark, light, m), 1.0 + grain);
        return withTitleBand(c, cell(y), Rgb{3, 8, 34}, Rgb{96, 146, 236});
    });
}

QImage makeAbout(const QString &family, double s) {
    const std::vector<Rgb> stops = {{3, 10, 46}, {12, 40, 116}, {28, 86, 176}, {72, 146, 216}};
    QImage image = shadeAt(360, 340, s, [&](double x, double y, int px, int py) {
        const double t = (x / 359.0) * 0.5 + (y / 339.0) * 0.5;
        // Only a faint mottle: the credit lines are drawn over the middle.
        const double m = mottle(x, y, 70.0, 21U) - 0.5;
        const double grain = (hash01(px, py, 22U) - 0.5) * 0.03;
        return scaled(ramp(stops, t), 1.0 + 0.16 * m + grain);
    });

    QFont font(family);
    font.setBold(true);
    font.setPixelSize(36);
    const QPainterPath title = QTransform::fromScale(s, s).map(
        placedAt(captionPath(font, QStringLiteral("TALVENDOK"), 4.5, 1.6), {12, 10}));
    paintWithShadow(image, title, Qt::white, QColor(0, 0, 20, 190), {2 * s, 2 * s},
                    static_cast<int>(std::lround(2 * s)));

    const QRectF box = title.boundingRect();
    QPainter p(&image);
    QLinearGradient fadeOut(box.left(), 0, box.right() + 12 * s, 0);
    fadeOut.setColorAt(0.0, QColor(255, 255, 255, 235));
    fadeOut.setColorAt(1.0, QColor(120, 220, 255, 40));
    p.fillRect(QRectF(box.left(), box.bottom() + 6 * s, box.width() + 12 * s, s), fadeOut);
    return image;
}

QImage makeButtons(double s) {
    const Rgb navy{3, 9, 44};
    const Rgb cyan{58, 150, 202};
    return shadeAt(320, 440, s, [&](double x, double y, int px, int py) {
        const double t = clamp01((x / 319.0) * 0.4 + (y / 439.0) * 0.6);
        const double m = mottle(x, y, 48.0, 31U) - 0.5;
        const double grain = (hash01(px, py, 32U) - 0.5) * 0.04;
        return scaled(mix(navy, cyan, smoothstep(0.0, 1.0, t)), 1.0 + 0.5 * m + grain);
    });
}

QImage makeMenu(const QString &family, double s) {
    const Rgb dark{8, 24, 84};
    const Rgb light{36, 92, 174};
    QImage image = shadeAt(125, 145, s, [&](double x, double y, int px, int py) {
        const double m = stretch(mottle(x, y, 34.0, 41U), 2.2);
        const double grain = (hash01(px, py, 42U) - 0.5) * 0.05;
        Rgb c = scaled(mix(dark, light, m), 1.0 + grain);
        // A darker strip behind the name sets it apart from the button column.
        if (cell(x) < 30) c = scaled(c, 0.62 + 0.004 * cell(x));
        return c;
    });

    QFont font(family);
    font.setBold(true);
    font.setPixelSize(18);
    QTransform upwards;
    upwards.rotate(-90);
    QPainterPath name = upwards.map(captionPath(font, QStringLiteral("TALVENDOK"), 3.0, 1.0));
    const QRectF box = name.boundingRect();
    name = QTransform::fromScale(s, s).map(
        placedAt(name, {14.5 - box.width() / 2, (145 - box.height()) / 2}));
    paintWithShadow(image, name, Qt::white, QColor(0, 0, 20, 200), {1.5 * s, 1.5 * s},
                    static_cast<int>(std::lround(s)));
    return image;
}

QImage transparentSquare(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The program icon at any size: one design in 32-unit coordinates, drawn at each size rather
// than scaled from a picture, with its lines kept at least a hair wide on the small sizes.
QImage makeProgramIcon(int size) {
    QImage image = transparentSquare(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double k = size / 32.0;
    const auto at = [k](double x, double y) { return QPointF(x * k, y * k); };
    const auto width = [k](double w, double least) { return std::max(w * k, least); };
    const QPointF centre = at(16, 16);
    const double outer = 15.0 * k;
    const QRectF disc(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);

    const int segments = 8;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < segments; ++i) {
        const QColor pastel = QColor::fromHsvF(i / double(segments), 0.45, 1.0);
        QRadialGradient depth(centre, outer);
        depth.setColorAt(0.0, pastel.lighter(112));
        depth.setColorAt(0.75, pastel);
        depth.setColorAt(1.0, pastel.darker(118));
        p.setBrush(depth);
        // Qt angles are in 1/16 degree, counter-clockwise from three o'clock.
        p.drawPie(disc, (90 - i * 360 / segments) * 16, -360 / segments * 16);
    }

    // Gloss over the upper left of the disc.
    QRadialGradient gloss(at(11, 9), 14 * k);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawEllipse(disc);

    const double rim = width(1.0, 1.0);
    p.setPen(QPen(QColor(255, 255, 255, 150), width(0.8, 0.5)));
    for (int i = 0; i < segments; ++i) {
        const double a = kPi / 2 - 2 * kPi * i / segments;
        p.drawLine(centre, centre + QPointF(std::cos(a), -std::sin(a)) * (outer - rim / 2));
    }
    p.setPen(QPen(QColor(70, 70, 90, 210), rim));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(disc.adjusted(rim / 2, rim / 2, -rim / 2, -rim / 2));

    QRadialGradient hub(at(14.5, 14.5), 7.5 * k);
    hub.setColorAt(0.0, QColor(236, 236, 240));
    hub.setColorAt(1.0, QColor(140, 142, 150));
    p.setBrush(hub);
    p.setPen(QPen(QColor(92, 94, 104), width(1.0, 0.75)));
    p.drawEllipse(centre, 6.0 * k, 6.0 * k);
    return image;
}

// Three puffs of different size over a flat base, with clear dips between them.
QPainterPath cloudShape() {
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addEllipse(QPointF(9.5, 19.0), 4.5, 4.5);
    cloud.addEllipse(QPointF(15.0, 14.0), 6.5, 6.5);
    cloud.addEllipse(QPointF(23.0, 17.5), 4.5, 4.5);
    cloud.addRoundedRect(QRectF(5.0, 17.0, 22.5, 7.5), 3.75, 3.75);
    return cloud.simplified();
}

// The launch icon at `s` times 32 pixels: the same drawing, with the glow's blur scaled too.
QImage makeLaunchIcon(int s) {
    const QPainterPath cloud = cloudShape();

    QImage glow = transparentSquare(32 * s);
    {
        QPainter p(&glow);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(s, s);
        p.setPen(QPen(QColor(150, 255, 120), 2.0));
        p.setBrush(QColor(150, 255, 120));
        p.drawPath(cloud);
    }
    blur(glow, 2 * s);

    QImage image = transparentSquare(32 * s);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(0, 0, glow);
    p.drawImage(0, 0, glow);  // twice: a stronger halo without a wider one
    p.scale(s, s);

    QLinearGradient body(0, 7.5, 0, 24.5);
    body.setColorAt(0.0, QColor(226, 255, 206));
    body.setColorAt(0.45, QColor(120, 236, 100));
    body.setColorAt(1.0, QColor(34, 160, 56));
    p.setPen(QPen(QColor(18, 104, 36, 230), 1.0));
    p.setBrush(body);
    p.drawPath(cloud);

    // A soft highlight on each puff gives the cloud its volume.
    struct Highlight {
        QPointF centre;
        double rx, ry;
        int alpha;
    };
    const Highlight highlights[] = {
        {{13.5, 10.5}, 5.0, 3.5, 170}, {{8.5, 17.0}, 2.8, 2.0, 120}, {{22.0, 15.0}, 2.8, 2.0, 120}};
    p.setPen(Qt::NoPen);
    for (const Highlight &h : highlights) {
        QRadialGradient shine(h.centre, h.rx);
        shine.setColorAt(0.0, QColor(255, 255, 255, h.alpha));
        shine.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(shine);
        p.drawEllipse(h.centre, h.rx, h.ry);
    }
    return image;
}

// ---- program folder ---------------------------------------------------------------------

// A plain application window with a green start arrow: the fallback picture of a slot.
// Each size has its own geometry, with the edges on pixel centres so the small image stays
// crisp instead of being a blurred copy of the large one; 64 is the 32 drawing doubled.
QImage makeDefaultIcon(int size) {
    struct Layout {
        QRectF frame;
        double radius, titleBottom;
        QPointF arrowTop, arrowTip, arrowBottom;
        bool dots;
    };
    const Layout l =
        size >= 32
            ? Layout{QRectF(2.5, 4.5, 27, 23),
                     2.5,
                     11.0,
                     {12.5, 14.0},
                     {22.0, 19.5},
                     {12.5, 25.0},
                     true}
            : Layout{
                  QRectF(1.5, 2.5, 13, 11), 1.5, 6.0, {6.5, 7.5}, {10.5, 10.0}, {6.5, 12.5}, false};
    QImage image = transparentSquare(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (size > 32) p.scale(size / 32.0, size / 32.0);
    const QColor edge(28, 46, 92);

    QPainterPath window;
    window.addRoundedRect(l.frame, l.radius, l.radius);
    QLinearGradient page(0, l.frame.top(), 0, l.frame.bottom());
    page.setColorAt(0.0, QColor(250, 252, 255));
    page.setColorAt(1.0, QColor(206, 218, 236));
    p.fillPath(window, page);

    QPainterPath band;
    band.addRect(
        QRectF(l.frame.left(), l.frame.top(), l.frame.width(), l.titleBottom - l.frame.top()));
    QLinearGradient blue(0, l.frame.top(), 0, l.titleBottom);
    blue.setColorAt(0.0, QColor(84, 146, 236));
    blue.setColorAt(1.0, QColor(26, 72, 176));
    p.fillPath(window.intersected(band), blue);
    p.strokePath(window, QPen(edge, 1.0));
    if (l.dots) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 220));
        for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(19.5 + 3.0 * i, 8.0), 1.0, 1.0);
    }

    QPainterPath arrow;
    arrow.moveTo(l.arrowTop);
    arrow.lineTo(l.arrowTip);
    arrow.lineTo(l.arrowBottom);
    arrow.closeSubpath();
    QLinearGradient green(0, l.arrowTop.y(), 0, l.arrowBottom.y());
    green.setColorAt(0.0, QColor(120, 224, 110));
    green.setColorAt(1.0, QColor(24, 140, 52));
    p.setPen(QPen(QColor(14, 92, 34), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(green);
    p.drawPath(arrow);
    return image;
}

void put16(QByteArray &out, quint16 v) {
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>(v >> 8));
}

void put32(QByteArray &out, quint32 v) {
    put16(out, static_cast<quint16>(v & 0xffff));
    put16(out, static_cast<quint16>(v >> 16));
}

// One icon image in the classic ICO form: a 32-bit BGRA DIB, twice as high as the image,
// followed by the 1-bit AND mask that older readers use instead of the alpha channel.
QByteArray icoImageData(const QImage &source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray out;
    put32(out, 40);  // BITMAPINFOHEADER
    put32(out, static_cast<quint32>(w));
    put32(out, static_cast<quint32>(2 * h));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);  // uncompressed
    put32(out, static_cast<quint32>(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(static_cast<char>(qBlue(line[x])));
            out.append(static_cast<char>(qGreen(line[x])));
            out.append(static_cast<char>(qRed(line[x])));
            out.append(static_cast<char>(qAlpha(line[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) < 128)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

// Qt's ICO writer stores a single image; the program folder's icon carries two sizes.
QByteArray icoFile(const std::vector<QImage> &images) {
    QByteArray out;
    put16(out, 0);
    put16(out, 1);  // icon, not cursor
    put16(out, static_cast<quint16>(images.size()));
    std::vector<QByteArray> data;
    for (const QImage &image : images) data.push_back(icoImageData(image));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.append(static_cast<char>(images[i].width()));
        out.append(static_cast<char>(images[i].height()));
        out.append('\0');  // no palette
        out.append('\0');
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<quint32>(data[i].size()));
        put32(out, offset);
        offset += static_cast<quint32>(data[i].size());
    }
    for (const QByteArray &d : data) out.append(d);
    return out;
}

// Night sky with curtains of green and violet light over a dark ridge.
QImage makeAurora() {
    const int w = 338;
    const int h = 142;
    return shade(w, h, [&](int x, int y) {
        Rgb c = mix(Rgb{2, 5, 18}, Rgb{8, 24, 44}, std::pow(y / (h - 1.0), 1.3));

        // Fine vertical rays: fast along x, slow along y.
        const double rays = 0.2 + 0.8 * stretch(fbm(x / 2.4, y / 120.0, 53U, 3), 1.9);
        struct Curtain {
            double base, amplitude, frequency, phase, strength;
            quint32 seed;
        };
        // High up, so that the rays fill the strip between the title band and the buttons'
        // frame, the part of the bar that stays visible in the default layout.
        const Curtain curtains[] = {{44, 9, 0.019, 0.6, 0.75, 54U}, {70, 7, 0.031, 2.2, 0.40, 55U}};
        double glow = 0.0;
        for (const Curtain &k : curtains) {
            // The slow swing plus smaller folds keep the hem from reading as a hill line.
            const double centre = k.base + k.amplitude * std::sin(x * k.frequency + k.phase) +
                                  4.0 * std::sin(x * 0.083 + 3.0 * k.phase) +
                                  16.0 * (fbm(x / 40.0, 3.0, k.seed, 3) - 0.5);
            const double d = y - centre;
            // Sharp lower hem, long fade upwards.
            const double profile = d > 0 ? std::exp(-(d / 2.5) * (d / 2.5)) : std::exp(d / 26.0);
            const double swell = 0.35 + 0.65 * stretch(fbm(x / 60.0, 9.0, k.seed + 10U, 3), 2.0);
            const double intensity = profile * rays * swell * k.strength;
            const Rgb hue = ramp({{150, 255, 190}, {60, 230, 140}, {40, 180, 200}, {120, 70, 200}},
                                 std::pow(clamp01(-d / 55.0), 0.6));
            c = added(c, hue, intensity);
            glow += intensity;
        }

        // Stars fade where the light is strong.
        if (hash01(x, y, 51U) > 0.9965)
            c = added(c, Rgb{200, 210, 255},
                      (0.25 + 0.55 * hash01(x, y, 52U)) * clamp01(1.0 - 2.0 * glow));

        const double ridge =
            112.0 - 16.0 * fbm(x / 48.0, 1.0, 56U, 4) - 4.0 * std::sin(x * 0.017 + 1.0);
        const double cover = clamp01(y + 0.5 - ridge);
        c = mix(c, Rgb{2, 6, 12}, cover);
        return withTitleBand(c, y, Rgb{1, 3, 12}, Rgb{90, 200, 170});
    });
}

// Blue-grey slate lit from the upper left: cloudy relief, cleavage layers and thin veins.
QImage makeSlate() {
    auto height = [](double x, double y) {
        const double layers =
            std::sin((x * 0.28 + y) / 7.0 + 6.0 * fbm(x / 45.0, y / 45.0, 63U, 3));
        return 0.7 * fbm(x / 34.0, y / 34.0, 61U, 5) + 0.3 * fbm(x / 5.0, y / 5.0, 62U, 3) +
               0.06 * layers;
    };
    return shade(338, 142, [&](int x, int y) {
        const double relief = height(x - 1, y - 1) - height(x + 1, y + 1);
        const double tone = fbm(x / 70.0, y / 70.0, 60U, 4) - 0.5;
        const Rgb stone =
            mix(Rgb{48, 57, 72}, Rgb{58, 68, 66}, stretch(fbm(x / 90.0, y / 90.0, 65U, 3), 2.0));
        const double ridged = 1.0 - std::abs(2.0 * fbm(x / 55.0, y / 55.0, 66U, 4) - 1.0);
        const double vein = std::pow(ridged, 18.0);
        const double grain = (hash01(x, y, 64U) - 0.5) * 0.06;
        Rgb c = scaled(stone, 1.0 + 0.6 * tone + 3.2 * relief + grain);
        c = added(c, Rgb{150, 162, 176}, 0.15 * vein);
        return withTitleBand(c, y, Rgb{12, 14, 18}, Rgb{150, 162, 180});
    });
}

// A bed of embers: dark crust broken by glowing cracks, hotter towards the bottom edge, with
// sparks rising from it.
QImage makeEmber() {
    const int w = 338;
    const int h = 142;
    const std::vector<Rgb> fire = {{40, 4, 2}, {150, 26, 6}, {230, 90, 14}, {255, 190, 70}};
    QImage image = shade(w, h, [&](int x, int y) {
        const double t = y / (h - 1.0);
        const double crust = fbm(x / 18.0, y / 18.0, 74U, 4) - 0.5;
        Rgb c = scaled(mix(Rgb{16, 5, 4}, Rgb{34, 9, 6}, t), 1.0 + 0.6 * crust);
        const double ridged = 1.0 - std::abs(2.0 * fbm(x / 24.0, y / 17.0, 71U, 4) - 1.0);
        const double crack = std::pow(ridged, 5.5);
        const double warmth = 0.35 + 0.65 * stretch(fbm(x / 60.0, y / 50.0, 75U, 3), 1.8);
        const double heat = clamp01(crack * warmth * (0.55 + 0.6 * t * t));
        c = added(c, ramp(fire, heat), 0.9 * heat);
        const double grain = (hash01(x, y, 72U) - 0.5) * 0.06;
        return withTitleBand(scaled(c, 1.0 + grain), y, Rgb{6, 2, 2}, Rgb{230, 110, 40});
    });

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 60; ++i) {
        const double x = 4 + hash01(i, 0, 73U) * (w - 8);
        // Most sparks stay low, a few drift up towards the band.
        const double y = h - 4 - std::pow(hash01(i, 1, 73U), 1.7) * (h - kBandHeight - 14);
        const double r = 0.5 + 1.1 * std::pow(hash01(i, 2, 73U), 2.0);
        const int alpha = static_cast<int>(140 + 110 * hash01(i, 3, 73U));
        if (i % 3 == 0) {
            // A short trail below the spark shows it rising.
            const double length = 4.0 + 8.0 * hash01(i, 4, 73U);
            QLinearGradient trail(x, y, x, y + length);
            trail.setColorAt(0.0, QColor(255, 170, 60, alpha / 3));
            trail.setColorAt(1.0, QColor(255, 90, 20, 0));
            p.setPen(QPen(QBrush(trail), 0.7 * r));
            p.drawLine(QPointF(x, y), QPointF(x + 0.8, y + length));
        }
        QRadialGradient spark(QPointF(x, y), r * 2.2);
        spark.setColorAt(0.0, QColor(255, 240, 180, alpha));
        spark.setColorAt(0.3, QColor(255, 160, 50, alpha * 2 / 3));
        spark.setColorAt(1.0, QColor(255, 80, 10, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(spark);
        p.drawEllipse(QPointF(x, y), r * 2.2, r * 2.2);
    }
    return image;
}

// ---- main -------------------------------------------------------------------------------

QString loadFont(const QString &file) {
    const int id = QFontDatabase::addApplicationFont(file);
    return id < 0 ? QString() : QFontDatabase::applicationFontFamilies(id).value(0);
}

bool save(const QImage &image, const QString &path, const char *format, int quality = -1) {
    if (image.save(path, format, quality)) return true;
    std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
    return false;
}

bool saveBytes(const QByteArray &bytes, const QString &path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "make_pictures: cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_pictures <resources-dir> <temp-dir>\n");
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    const QDir temp(QString::fromLocal8Bit(argv[2]));
    if (!resources.mkpath("pictures") || !resources.mkpath("program_folder")) {
        std::fprintf(stderr, "make_pictures: cannot create the output folders\n");
        return 1;
    }

    QString family = loadFont("/usr/share/wine/fonts/tahoma.ttf");
    loadFont("/usr/share/wine/fonts/tahomabd.ttf");
    if (family.isEmpty()) family = QStringLiteral("DejaVu Sans");

    const QString pictures = resources.filePath("pictures") + '/';
    const QString folder = resources.filePath("program_folder") + '/';
    const int jpegQuality = 92;
    bool ok = true;
    // Each compiled-in picture at 1x and at 2x ("name@2x") for dense screens.
    for (const int s : {1, 2}) {
        const QString x = s == 1 ? QString() : QStringLiteral("@2x");
        ok &= save(makeBar(s), pictures + "bar" + x + ".jpg", "JPEG", jpegQuality);
        ok &= save(makeAbout(family, s), pictures + "about" + x + ".jpg", "JPEG", jpegQuality);
        ok &= save(makeButtons(s), pictures + "buttons" + x + ".jpg", "JPEG", jpegQuality);
        ok &= save(makeMenu(family, s), pictures + "menu" + x + ".jpg", "JPEG", jpegQuality);
        ok &= save(makeProgramIcon(32 * s).convertToFormat(QImage::Format_ARGB32),
                   pictures + "program" + x + ".png", "PNG");
        ok &= save(makeLaunchIcon(s).convertToFormat(QImage::Format_ARGB32),
                   pictures + "launch" + x + ".png", "PNG");
    }
    // The desktop's copies of the program icon, one per size the icon theme asks for.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString apps = QStringLiteral("icons/hicolor/%1x%1/apps").arg(size);
        ok &= resources.mkpath(apps) &&
              save(makeProgramIcon(size).convertToFormat(QImage::Format_ARGB32),
                   resources.filePath(apps) + "/" + kAppId + ".png", "PNG");
    }
    ok &= saveBytes(icoFile({makeDefaultIcon(32), makeDefaultIcon(16), makeDefaultIcon(64)}),
                    folder + "DEFAULT.ICO");
    ok &= save(makeAurora(), folder + "Aurora.emb", "JPEG", jpegQuality);
    ok &= save(makeSlate(), folder + "Slate.emb", "BMP");
    ok &= save(makeEmber(), temp.filePath("ember.png"), "PNG");
    return ok ? 0 : 1;
}
