#!/usr/bin/env bash
# make-demo-pages.sh OUT_FOLDER: draws the demo guide's page pictures with
# ImageMagick (656 x 300 pixels each): page1.jpg (baseline JPEG), page2.jpg
# (progressive JPEG) and page3.png (a PNG with transparent surroundings), and
# writes the guide's Page_var.txt beside them from the template given as $2.
set -euo pipefail
out=$1 template=$2
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
mkdir -p "$out"
convert=/usr/bin/convert

# A page: a coloured band with the page's number and heading, then its lines.
page() {  # file, top colour, bottom colour, number, heading, lines...
  local file=$1 top=$2 bottom=$3 number=$4 heading=$5
  shift 5
  local args=(-size 656x300 "gradient:$top-$bottom"
              -fill '#FFFFFF' -draw 'roundrectangle 24,70 632,282 14,14'
              -fill '#FFFFFF' -font "$bold" -pointsize 30 -annotate +32+48 "$number  $heading"
              -fill '#333A46' -font "$font" -pointsize 20)
  local y=116
  for line in "$@"; do
    args+=(-annotate "+48+$y" "$line")
    y=$((y + 38))
  done
  "$convert" "${args[@]}" "$file"
}

page "$out/page1.tmp.ppm" '#3C78C8' '#1E468C' 1 "Moving the window" \
  "Press on the title bar and drag it" "to move the window anywhere on the screen." \
  "The logo and the caption move it too." "Press Next to go on."
"$convert" "$out/page1.tmp.ppm" -depth 8 -quality 90 -interlace none "JPEG:$out/page1.jpg.part"

page "$out/page2.tmp.ppm" '#2E9E6A' '#17603F' 2 "Resizing" \
  "Drag the small grip at the lower right corner," "or the thin band around the movie," \
  "to make the window larger or smaller." "Maximise fills the screen."
"$convert" "$out/page2.tmp.ppm" -depth 8 -quality 88 -interlace JPEG "JPEG:$out/page2.jpg.part"

# Page 3: a card on a transparent ground, with a soft translucent shadow.
"$convert" -size 656x300 xc:none \
  -fill 'rgba(20,40,80,0.35)' -draw 'roundrectangle 18,18 646,292 22,22' \
  -fill '#E8702A' -draw 'roundrectangle 8,8 636,282 22,22' \
  -fill '#FFFFFF' -font "$bold" -pointsize 30 -annotate +32+56 "3  Closing" \
  -fill '#FFFFFF' -font "$font" -pointsize 20 \
  -annotate +48+120 "Press Close below the picture, or the" \
  -annotate +48+158 "close button in the title bar, when you are done." \
  -annotate +48+196 "Previous goes back a page." \
  "PNG32:$out/page3.png.part"

rm -f "$out"/page*.tmp.ppm
for f in page1.jpg page2.jpg page3.png; do mv "$out/$f.part" "$out/$f"; done
cp "$template" "$out/Page_var.txt.part" && mv "$out/Page_var.txt.part" "$out/Page_var.txt"
