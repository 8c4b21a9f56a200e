#!/usr/bin/env bash
# Draws the station's pictures with ImageMagick: the two 36 x 32 frames of the busy animation (a
# disc under a gripper, the gripper up and down), the 320 x 70 About banner and the icon. The
# outputs are checked in; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
face='#d4d0c8'

disc() {  # the disc with its hole, then the gripper at height $2
  convert -size 36x32 "xc:$face" \
    -fill '#c0c8d8' -stroke '#404860' -draw 'circle 18,22 18,13' \
    -fill "$face" -stroke '#404860' -draw 'circle 18,22 18,20' \
    -stroke '#202020' -strokewidth 2 -draw "line 18,0 18,$2" \
    -fill '#e0a020' -stroke '#202020' -strokewidth 1 -draw "rectangle 11,$2 25,$(($2 + 3))" \
    -type TrueColor "BMP3:$1"
}
disc busy1.bmp 3
disc busy2.bmp 9

convert -size 320x70 gradient:'#1c3c78'-'#5a8ad0' -rotate 90 -resize '320x70!' \
  -fill '#ffffff30' -stroke none -draw 'circle 270,35 270,2' \
  -fill '#1c3c78' -draw 'circle 270,35 270,27' \
  -fill white -font DejaVu-Sans-Bold -pointsize 26 -annotate +16+40 'Kelvora' \
  -font DejaVu-Sans -pointsize 12 -annotate +18+58 'Disc robot station' \
  -type TrueColor BMP3:banner.bmp

convert busy2.bmp -resize 32x32! \( busy2.bmp -resize 16x16! \) pickwell.ico
