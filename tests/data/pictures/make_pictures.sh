#!/usr/bin/env bash
# Remakes the committed reader corpus with ImageMagick. Each picture X comes with X.rgb, the
# independent decode of X by ImageMagick (8-bit RGB, top row first), which the tests compare with.
set -euo pipefail
cd "$(dirname "$0")"
pattern() {  # WIDTH HEIGHT BLUE-PERIOD OUT
  convert -size "$1x$2" xc:black -channel R -fx 'i/w' -channel G -fx 'j/h' \
    -channel B -fx "((i+j)%$3)/$3" +channel "$4"
}
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
pattern 37 11 5 "$tmp/odd.png"     # 407 colours, odd width
pattern 32 8 3 "$tmp/even.png"     # 256 or fewer colours, width a multiple of 8
pattern 24 6 1 "$tmp/few.png"      # few colours, for 24 bits without a cut
convert "$tmp/odd.png" -colors 16 -type Palette -compress None BMP3:b4_37x11.bmp
convert "$tmp/even.png" -colors 16 -type Palette -compress None BMP3:b4_32x8.bmp
convert "$tmp/odd.png" -colors 200 -type Palette -compress None BMP3:b8_37x11.bmp
convert "$tmp/even.png" -colors 200 -type Palette -compress None BMP3:b8_32x8.bmp
convert "$tmp/odd.png" -type TrueColor -compress None BMP3:b24_37x11.bmp
convert "$tmp/few.png" -type TrueColor -compress None BMP3:b24_24x6.bmp
convert "$tmp/few.png" -crop 23x6+0+0 +repage -type TrueColor -compress None BMP3:b24_23x6.bmp
convert "$tmp/odd.png" -type Bilevel BMP3:b1_37x11.bmp
convert "$tmp/odd.png" -define bmp:subtype=RGB565 BMP:b16_37x11.bmp
convert "$tmp/odd.png" -alpha set -define bmp3:alpha=true BMP3:b32_37x11.bmp
convert "$tmp/odd.png" -colors 200 -type Palette -compress RLE BMP3:rle8_37x11.bmp
convert -size 32x32 xc:black -channel R -fx 'i/w' -channel G -fx 'j/h' +channel \
  -colors 16 -type Palette -depth 4 ICO:i16_32.ico
convert -size 16x16 xc:black -channel R -fx 'i/w' -channel B -fx 'j/h' +channel \
  -colors 16 ICO:i16_16.ico
convert -size 32x32 xc:black -channel R -fx 'i/w' -channel G -fx 'j/h' \
  -channel B -fx '(i*j%7)/7' +channel -colors 200 -type Palette ICO:i256_32.ico
for f in *.bmp *.ico; do convert "$f" -alpha off -depth 8 "rgb:$f.rgb"; done
