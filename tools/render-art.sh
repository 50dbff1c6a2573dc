#!/usr/bin/env bash
# Renders the artwork sources under resources/art/ into the PNG and JPEG files the program embeds,
# and the contact sheet that shows them all at once.
#
# The rendered files are committed, so building the program needs none of this. Only run it after
# changing a source. Rendering is byte-identical from run to run on the same Debian release:
# no file carries a timestamp or any other metadata.
#
# Needs (Debian packages):
#   librsvg2-bin         rsvg-convert, draws every SVG
#   libjpeg-turbo-progs  cjpeg, encodes the splash
#   imagemagick          convert, drops the alpha channel where a picture must be 24-bit and
#                        turns the splash into PPM for cjpeg
#   fonts-dejavu-core    "DejaVu Sans", the only font any picture uses (splash, contact sheet)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
art=$root/resources/art
images=$root/resources/images
icons=$root/resources/icons

for tool in rsvg-convert cjpeg convert fc-list; do
  command -v "$tool" >/dev/null || { echo "render-art: $tool is missing" >&2; exit 1; }
done
# A missing font would silently fall back to another and change the splash.
fc-list ':family=DejaVu Sans:style=Bold' | grep -q . \
  || { echo "render-art: the font DejaVu Sans Bold is missing (fonts-dejavu-core)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$images" "$icons"

# svg_to_png SOURCE OUTPUT WIDTH HEIGHT: an 8-bit RGBA PNG of exactly that size.
svg_to_png() {
  rsvg-convert --format png --width "$3" --height "$4" --output "$2" "$1"
}

# strip_png INPUT OUTPUT [OPTIONS...]: rewrites a PNG through ImageMagick, whose writer adds
# date and text chunks unless told not to.
strip_png() {
  local input=$1 output=$2
  shift 2
  convert "$input" "$@" -strip -define png:exclude-chunks=date,time "$output"
}

# Toolbar buttons: each glyph is set into the four face templates (normal, over, down, disabled).
for button in Add Convert Stop Support; do
  glyph=$art/buttons/${button,,}.svg
  sed -n '/<!-- glyph -->/,/<!-- \/glyph -->/p' "$glyph" >"$work/glyph.frag"
  grep -q . "$work/glyph.frag" || { echo "render-art: no glyph markers in $glyph" >&2; exit 1; }
  for face in normal over down disabled; do
    sed -e "/<!--GLYPH-->/{r $work/glyph.frag" -e 'd}' "$art/buttons/face-$face.svg" >"$work/btn$button-$face.svg"
    svg_to_png "$work/btn$button-$face.svg" "$images/btn${button}_$face.png" 112 101
  done
done

svg_to_png "$art/tab.svg" "$images/tab.png" 66 29
svg_to_png "$art/banner.svg" "$images/banner.png" 400 200
# Fully opaque, so the renderer would write it without alpha; the strip is still an RGBA picture
# like every other piece of the window.
svg_to_png "$art/bottom-strip.svg" "$work/strip.png" 6 21
strip_png "$work/strip.png" "PNG32:$images/bottom_strip.png" -depth 8 -define png:color-type=6
svg_to_png "$art/corner.svg" "$images/corner.png" 11 11
svg_to_png "$art/dialog-row.svg" "$images/dialog_row.png" 32 32
svg_to_png "$art/folder.svg" "$images/folder.png" 16 16
for state in waiting converting finished failed; do
  svg_to_png "$art/state-$state.svg" "$images/state_$state.png" 16 16
done

# The tree background is a 24-bit picture: no alpha channel at all.
svg_to_png "$art/tree-background.svg" "$work/tree.png" 256 256
strip_png "$work/tree.png" "PNG24:$images/tree_background.png" \
  -background '#e9eaee' -alpha remove -alpha off -depth 8 -define png:color-type=2

# The splash is a baseline JPEG (no alpha; the window makes it see-through itself).
svg_to_png "$art/splash.svg" "$work/splash.png" 570 330
convert "$work/splash.png" -background '#15428b' -alpha remove -alpha off -depth 8 "ppm:$work/splash.ppm"
cjpeg -quality 92 -sample 1x1 -optimize -outfile "$images/splash.jpg" "$work/splash.ppm"

# Application icon: the small sizes have their own simpler drawing so they stay crisp.
for size in 16 32; do
  svg_to_png "$art/icon-small.svg" "$icons/clipforge-$size.png" "$size" "$size"
done
for size in 48 64 128 256; do
  svg_to_png "$art/icon.svg" "$icons/clipforge-$size.png" "$size" "$size"
done

# Contact sheet: the window put together from its pieces, then every picture on its own.
sheet=$work/sheet
mkdir -p "$sheet"
cp "$images"/* "$icons"/* "$sheet/"
sed -e "s|@TREE@|tree_background.png|" "$art/contact-sheet.svg" >"$sheet/sheet.svg"
svg_to_png "$sheet/sheet.svg" "$work/contact-sheet.png" 1280 1240
strip_png "$work/contact-sheet.png" "$root/resources/contact-sheet.png"
