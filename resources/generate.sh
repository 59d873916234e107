#!/bin/sh
# Regenerates TALVENDOK's pictures from generator/make_pictures.cpp.
#
# Writes, next to this script:
#   pictures/bar.jpg       338 x 142  bar background (deep blue mottle, dark title band)
#   pictures/about.jpg     360 x 340  about panel background with the name
#   pictures/buttons.jpg   320 x 440  button definitions background (and the windows copying it)
#   pictures/menu.jpg      125 x 145  menu background with the name running upwards
#   pictures/program.png    32 x 32   program icon
#   pictures/launch.png     32 x 32   built-in launch button icon
#   pictures/NAME@2x.*                each of the six above at twice the pixels, for dense
#                                     screens (Qt's naming)
#   icons/hicolor/NxN/apps/org.talvendok.Talvendok.png
#                                     the program icon for the desktop, drawn at 16, 22, 24,
#                                     32, 48, 64, 128 and 256 pixels
#   program_folder/DEFAULT.ICO        fallback slot icon, 32 x 32, 16 x 16 and 64 x 64
#   program_folder/Aurora.emb         Membrane, JPEG, 338 x 142
#   program_folder/Slate.emb          Membrane, BMP, 338 x 142
#   program_folder/Ember.emb          Membrane, GIF, 338 x 142
# pictures/ is compiled into the program through resources.qrc; icons/ is installed for the
# desktop; program_folder/ (with the hand-written Help.txt) is the template that the program
# copies into the user's program folder at its first start.
#
# Needs g++, Qt 6 Gui development files, pkg-config, ImageMagick (/usr/bin/convert, for the
# GIF) and preferably fonts-wine (Tahoma; DejaVu Sans otherwise). Output is deterministic.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# shellcheck disable=SC2046 # pkg-config output is meant to split into words
g++ -std=c++17 -O2 -Wall -Wextra -fPIC -o "$work/make_pictures" \
    "$here/generator/make_pictures.cpp" $(pkg-config --cflags --libs Qt6Gui)

# The private work folder doubles as the runtime folder Qt asks for.
XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen "$work/make_pictures" "$here" "$work"

# Qt has no GIF writer. 256 colours with dithering keep the glow free of bands.
/usr/bin/convert "$work/ember.png" -dither FloydSteinberg -colors 256 \
    "GIF:$here/program_folder/Ember.emb"

echo "pictures written to $here/pictures, $here/icons and $here/program_folder"
