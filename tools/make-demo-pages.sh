#!/usr/bin/env bash
# make-demo-pages.sh OUT_FOLDER TEMPLATE: draws the demo guide's page pictures
# with ImageMagick (656 x 300 pixels each): page1.jpg (baseline JPEG), page2.jpg
# (progressive JPEG) and page3.png (a PNG with transparent surroundings), and
# copies the guide's Page_var.txt (TEMPLATE) and the pages' HTML bodies beside
# it (page1.html ...) into OUT_FOLDER. A picture is the page's coloured band
# with its heading, a white card the movie writes the body's text on, and a
# small sketch at the card's right; the text itself is no part of the picture.
set -euo pipefail
out=$1 template=$2
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
mkdir -p "$out"
convert=/usr/bin/convert

# Sketches are ImageMagick draw options gathered in the array `sketch`.
# A window at (x, y), w x h: a frame with a dark title bar; "ghost" draws
# only a dashed outline (where a window was or will be).
window() {  # x, y, w, h, [ghost]
  local x=$1 y=$2 w=$3 h=$4
  local box="roundrectangle $x,$y $((x + w)),$((y + h)) 6,6"
  if [ "${5:-}" = ghost ]; then
    sketch+=(-fill none -stroke '#8A96A8' -strokewidth 2 -draw "stroke-dasharray 6 4 $box")
  else
    sketch+=(-fill '#F4F6FA' -stroke '#333A46' -strokewidth 2 -draw "$box"
             -fill '#333A46' -stroke none -draw "rectangle $((x + 1)),$((y + 1)) $((x + w - 1)),$((y + 16))")
  fi
}
# An arrow from (x0, y0) to the head at (x1, y1), whose two other corners follow.
arrow() {  # colour, x0, y0, x1, y1, head corners "x,y x,y"
  sketch+=(-stroke "$1" -strokewidth 4 -draw "line $2,$3 $4,$5" -fill "$1" -stroke none -draw "polygon $4,$5 $6")
}

# A page: a coloured band with the page's number and heading, the white card
# under it, and the sketch.
page() {  # file, top colour, bottom colour, number, heading
  "$convert" -size 656x300 "gradient:$2-$3" \
    -fill '#FFFFFF' -draw 'roundrectangle 24,70 632,282 14,14' \
    -fill '#FFFFFF' -font "$bold" -pointsize 30 -annotate +32+48 "$4  $5" \
    "${sketch[@]}" "$1"
}

# Page 1: a window dragged by its title bar away from where it was.
sketch=()
window 462 104 120 84 ghost
window 490 150 120 84
arrow '#E8702A' 520 112 550 160 "536,154 553,146"
page "$out/page1.tmp.ppm" '#3C78C8' '#1E468C' 1 "Moving the window"
"$convert" "$out/page1.tmp.ppm" -depth 8 -quality 90 -interlace none "JPEG:$out/page1.jpg.part"

# Page 2: a window pulled by its grip out to a larger outline.
sketch=()
window 466 100 150 160 ghost
window 466 100 100 100
sketch+=(-fill '#17603F' -stroke none -draw 'polygon 566,200 552,200 566,186')
arrow '#2E9E6A' 572 206 606 246 "590,240 602,228"
page "$out/page2.tmp.ppm" '#2E9E6A' '#17603F' 2 "Resizing"
"$convert" "$out/page2.tmp.ppm" -depth 8 -quality 88 -interlace JPEG "JPEG:$out/page2.jpg.part"

# Page 3: a card on a transparent ground, with a soft translucent shadow; its
# sketch is a window whose close button is lit.
sketch=()
window 470 104 130 100
sketch+=(-fill '#E8702A' -stroke none -draw 'rectangle 580,104 599,117'
         -stroke '#FFFFFF' -strokewidth 2 -draw 'line 585,106 594,115' -draw 'line 594,106 585,115')
"$convert" -size 656x300 xc:none \
  -fill 'rgba(20,40,80,0.35)' -draw 'roundrectangle 18,18 646,292 22,22' \
  -fill '#E8702A' -draw 'roundrectangle 8,8 636,282 22,22' \
  -fill '#FFFFFF' -draw 'roundrectangle 24,70 620,266 14,14' \
  -fill '#FFFFFF' -font "$bold" -pointsize 30 -annotate +32+56 "3  Closing" \
  "${sketch[@]}" "PNG32:$out/page3.png.part"

rm -f "$out"/page*.tmp.ppm
for f in page1.jpg page2.jpg page3.png; do mv "$out/$f.part" "$out/$f"; done
for body in "$(dirname "$template")"/page*.html; do
  cp "$body" "$out/$(basename "$body").part" && mv "$out/$(basename "$body").part" "$out/$(basename "$body")"
done
cp "$template" "$out/Page_var.txt.part" && mv "$out/Page_var.txt.part" "$out/Page_var.txt"
