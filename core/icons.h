#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

// Icons beyond bitmap files: icon theme names and SVG pictures, both drawn at the size
// shown times the screen's pixel ratio.
namespace icons {

// Pictures declaring more pixels are refused before decoding: no background or icon needs
// more.
inline constexpr qint64 kMaxPicturePixels = 64LL * 1024 * 1024;

// Whether a picture path is a plausible icon name (letters, digits and ". _ + -", no
// folder, no ".."): only such a name is looked up in the icon theme.
bool isThemeName(const QString &path);

// The icon `name` of the user's icon theme (the GTK one, then hicolor, when Qt knows none;
// then /usr/share/pixmaps); null when there is none.
QPixmap themed(const QString &name, QSize shown, qreal ratio);

// An SVG or SVGZ file read at the size shown; false, before anything is drawn, for one
// with external references, entities, deep nesting or too many elements.
bool loadSvg(const QString &file, QSize shown, qreal ratio, QPixmap *out);

}  // namespace icons
