#include "core/icons.h"

#include <zlib.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace {

// No icon needs more; anything beyond is refused before it is parsed.
constexpr qint64 kMaxSvgBytes = 4 * 1024 * 1024;
constexpr int kMaxSvgDepth = 64;
constexpr int kMaxSvgElements = 20000;

// The theme is chosen on first use only, so that a start without theme icons reads
// nothing of it.
void chooseTheme() {
    static bool chosen = false;
    if (chosen) return;
    chosen = true;
    const QString qtTheme = QIcon::themeName();
    if (qtTheme.isEmpty() || qtTheme == QLatin1String("hicolor")) {
        const QSettings gtk(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/gtk-3.0/settings.ini"),
            QSettings::IniFormat);
        const QString name = gtk.value(QStringLiteral("Settings/gtk-icon-theme-name")).toString();
        QIcon::setThemeName(icons::isThemeName(name) ? name : QStringLiteral("hicolor"));
        // Nor may it know where themes are kept.
        QStringList paths = QIcon::themeSearchPaths();
        paths << QDir::homePath() + QStringLiteral("/.icons");
        for (const QString &data :
             QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
            paths << data + QStringLiteral("/icons");
        paths.removeDuplicates();
        QIcon::setThemeSearchPaths(paths);
    }
    QIcon::setFallbackSearchPaths(QIcon::fallbackSearchPaths()
                                  << QStringLiteral("/usr/share/pixmaps"));
}

// SVGZ: the text inside, at most kMaxSvgBytes of it; empty when it is not gzip data.
QByteArray gunzip(const QByteArray &data) {
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return {};
    QByteArray out(kMaxSvgBytes + 1, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const qint64 size = qint64(stream.total_out);
    inflateEnd(&stream);
    if (result != Z_STREAM_END || size > kMaxSvgBytes) return {};
    out.truncate(size);
    return out;
}

// The renderer would fetch what an href names and recurse through nesting: both are
// checked on the text first, with a reader that does neither.
bool safeSvg(const QByteArray &xml) {
    QXmlStreamReader reader(xml);
    int depth = 0, elements = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::DTD:
                if (!reader.entityDeclarations().isEmpty()) return false;
                break;
            case QXmlStreamReader::EntityReference:
                return false;
            case QXmlStreamReader::StartElement:
                if (++depth > kMaxSvgDepth || ++elements > kMaxSvgElements) return false;
                for (const QXmlStreamAttribute &attribute : reader.attributes()) {
                    // Only references inside the picture itself.
                    if (attribute.name() == QLatin1String("href") &&
                        !attribute.value().startsWith(QLatin1Char('#')))
                        return false;
                }
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            default:
                break;
        }
    }
    return !reader.hasError() && elements > 0;
}

QSize drawnSize(QSize declared, QSize shown, qreal ratio) {
    const QSize target = (shown.isValid() ? shown : declared) * ratio;
    return declared.isValid() ? declared.scaled(target, Qt::KeepAspectRatio) : target;
}

}  // namespace

namespace icons {

bool isThemeName(const QString &path) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9._+-]{0,127}$"));
    return name.match(path).hasMatch() && !path.contains(QLatin1String(".."));
}

QPixmap themed(const QString &name, QSize shown, qreal ratio) {
    if (!isThemeName(name)) return {};
    chooseTheme();
    const QIcon icon = QIcon::fromTheme(name);
    // A theme's broken file still gives an icon, but no pixmap.
    return icon.isNull() ? QPixmap() : icon.pixmap(shown, ratio);
}

bool loadSvg(const QString &file, QSize shown, qreal ratio, QPixmap *out) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxSvgBytes) return false;
    const QByteArray raw = in.read(kMaxSvgBytes);
    QByteArray xml = raw.startsWith("\x1f\x8b") ? gunzip(raw) : raw;
    if (!safeSvg(xml)) return false;
    QBuffer buffer(&xml);
    QImageReader reader(&buffer, "svg");
    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > kMaxPicturePixels)
        return false;
    const QSize size = drawnSize(declared, shown, ratio);
    if (size.isEmpty()) return false;
    reader.setScaledSize(size);
    QImage image = reader.read();
    if (image.isNull()) return false;
    image.setDevicePixelRatio(ratio);
    *out = QPixmap::fromImage(image);
    return !out->isNull();
}

}  // namespace icons
