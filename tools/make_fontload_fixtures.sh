#!/bin/sh
# Makes the PDF files under tests/fixtures/fontload/ with real producers: ghostscript's ps2pdf
# embeds subsets of the URW fonts (Type 1 for PDF 1.1, CFF otherwise) with /Encoding
# dictionaries and /Differences; pdftocairo rewrites the CFF file with cairo's subsets (a
# Type0 Identity-H font, simple fonts with ToUnicode maps). The symbolic TrueType subset is
# made with python3-fonttools (Debian's /usr/bin/python3).
set -e
out=$(cd "$(dirname "$0")/../tests/fixtures/fontload" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/fonts.ps" <<'PS'
%!PS
/NimbusSans-Regular findfont 12 scalefont setfont
72 700 moveto (Hello \223quoted\224 caf\351) show
/NimbusRoman-Regular findfont dup length dict begin {1 index /FID ne {def} {pop pop} ifelse} forall
/Encoding 256 array def 0 1 255 {Encoding exch /.notdef put} for
Encoding 1 /A put Encoding 2 /quotedblleft put Encoding 3 /Euro put Encoding 65 /B put
currentdict end /Recoded exch definefont 12 scalefont setfont
72 650 moveto (\001\002\003A) show
/StandardSymbolsPS findfont 12 scalefont setfont
72 600 moveto (abg) show
showpage
PS
ps2pdf -dCompatibilityLevel=1.1 "$work/fonts.ps" "$out/type1.pdf"
ps2pdf "$work/fonts.ps" "$out/cff.pdf"
pdftocairo -pdf "$out/cff.pdf" "$out/cairo.pdf"
/usr/bin/python3 - "$out/symbolic.ttf" <<'PY'
# A subset as word processors embed symbolic fonts: codes 0xF020 to 0xF0FF in a (3,0)
# cmap, no glyph names ('post' format 3), 1000 units per em.
import sys
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
order = [".notdef"] + ["g%d" % c for c in range(32, 256)]
pen = TTGlyphPen(None)
pen.moveTo((0, 0)); pen.lineTo((0, 500)); pen.lineTo((400, 500)); pen.closePath()
glyph = pen.glyph()
fb = FontBuilder(1000, isTTF=True)
fb.setupGlyphOrder(order)
fb.setupCharacterMap({0xF000 + c: "g%d" % c for c in range(32, 256)})
cmap = fb.font["cmap"]
cmap.tables = [table for table in cmap.tables if table.platformID == 3]
cmap.tables[0].platEncID = 0
fb.setupGlyf({name: glyph for name in order})
fb.setupHorizontalMetrics({name: (500, 0) for name in order})
fb.setupHorizontalHeader(ascent=800, descent=-200)
fb.setupNameTable({"familyName": "Vorbix Symbolic", "styleName": "Regular"})
fb.setupOS2()
fb.setupPost(keepGlyphNames=False)
fb.font["post"].formatType = 3.0
fb.save(sys.argv[1])
PY
