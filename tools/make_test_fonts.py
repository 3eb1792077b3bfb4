#!/usr/bin/python3
"""Makes the small font programs under tests/fixtures/fonts/ with python3-fonttools'
FontBuilder (Debian's interpreter: /usr/bin/python3 tools/make_test_fonts.py).
The ghostscript subsets there are made by tools/make_gs_fonts.sh."""
import io
import os

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen

OUT = os.path.join(os.path.dirname(__file__), "..", "tests", "fixtures", "fonts")


def box_glyph():
    pen = TTGlyphPen(None)
    pen.moveTo((0, 0)); pen.lineTo((0, 100)); pen.lineTo((100, 100)); pen.lineTo((100, 0)); pen.closePath()
    return pen.glyph()


def truetype(path, order, advances, post_format, upem=2048):
    fb = FontBuilder(upem, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({})
    fb.setupGlyf({name: box_glyph() for name in order})
    fb.setupHorizontalMetrics({name: (adv, 0) for name, adv in zip(order, advances)})
    fb.setupHorizontalHeader(ascent=1800, descent=-400)
    fb.setupNameTable({"familyName": "Vorbix Test", "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost(keepGlyphNames=post_format == 2)
    fb.font["post"].formatType = float(post_format)
    fb.save(os.path.join(OUT, path))


def compact(name, order, encoding, upem, font_matrix=None):
    fb = FontBuilder(upem, isTTF=False)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({})
    strings = {}
    for glyph in order:
        pen = T2CharStringPen(500, None)
        pen.moveTo((0, 0)); pen.lineTo((0, 100)); pen.lineTo((100, 100)); pen.closePath()
        strings[glyph] = pen.getCharString()
    info = {"FullName": "Vorbix Test"}
    if font_matrix:
        info["FontMatrix"] = font_matrix
    fb.setupCFF(name, info, strings, {})
    fb.setupHorizontalMetrics({glyph: (500, 0) for glyph in order})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": "Vorbix Test", "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost()
    names = [".notdef"] * 256
    for code, glyph in encoding.items():
        names[code] = glyph
    fb.font["CFF "].cff.topDictIndex[0].Encoding = names
    fb.save(os.path.join(OUT, name + ".otf"))
    cff = io.BytesIO()
    fb.font["CFF "].cff.compile(cff, fb.font)
    with open(os.path.join(OUT, name + ".cff"), "wb") as out:
        out.write(cff.getvalue())


# 'post' format 2: standard names (space, A) and the font's own (Alpha.alt, uni2022); the last
# two glyphs share an advance, so 'hmtx' keeps one entry fewer than there are glyphs.
truetype("post2.ttf", [".notdef", "space", "A", "Alpha.alt", "uni2022", "g5"],
         [1024, 569, 1366, 1479, 717, 717], 2)
# 'post' format 3: the same glyphs without names.
truetype("post3.ttf", [".notdef", "space", "A", "Alpha.alt", "uni2022", "g5"],
         [1024, 569, 1366, 1479, 717, 717], 3)
# 'post' format 1: the first six standard Macintosh glyphs, 1000 units per em.
truetype("post1.ttf", [".notdef", ".null", "nonmarkingreturn", "space", "exclam", "quotedbl"],
         [500, 0, 0, 250, 333, 408], 1, upem=1000)
# Scattered codes: encoding format 0; a standard name and own names in the charset.
compact("enc0", [".notdef", "A", "Alpha.alt", "uni2022", "dollar"], {65: "A", 200: "Alpha.alt", 7: "uni2022", 36: "dollar"}, 1000)
# Codes 32 to 34 and 97: encoding format 1 (ranges); a FontMatrix for 2048 units per em.
compact("enc1", [".notdef", "space", "exclam", "quotedbl", "a.sc"], {32: "space", 33: "exclam", 34: "quotedbl", 97: "a.sc"},
        2048, [1 / 2048, 0, 0, 1 / 2048, 0, 0])
# Unicode 'cmap' subtables: format 4 ((0,3), (3,1)) and format 12 ((0,4), (3,10)), since one
# character lies beyond the first plane; the space glyph also stands for the no-break space.
fb = FontBuilder(1000, isTTF=True)
cmap_order = [".notdef", "space", "A", "B", "kokai", "u1D400", "unmapped"]
fb.setupGlyphOrder(cmap_order)
fb.setupCharacterMap({0x20: "space", 0xA0: "space", 0x41: "A", 0x42: "B", 0x0E01: "kokai", 0x1D400: "u1D400"})
fb.setupGlyf({name: box_glyph() for name in cmap_order})
fb.setupHorizontalMetrics({name: (500 if name != "space" else 250, 0) for name in cmap_order})
fb.setupHorizontalHeader(ascent=800, descent=-200)
fb.setupNameTable({"familyName": "Vorbix Cmap", "styleName": "Regular"})
fb.setupOS2()
fb.setupPost()
fb.save(os.path.join(OUT, "cmap.ttf"))
