#!/usr/bin/python3
"""Generates data/PellarGlyphTables.cpp and data/PellarGlyphList.cpp from Debian package files.

Run once with Debian's own interpreter (the modules are Debian packages):
    /usr/bin/python3 tools/gen_glyph_tables.py
Needs python3-fonttools, python3-pdfminer, fonts-urw-base35 and libgs10-common; the build
needs none of them. Every table is checked against a second source before it is written.
"""
import codecs
import glob
import os
import re
import sys

import fontTools.agl as agl
from fontTools.encodings.MacRoman import MacRoman
from fontTools.encodings.StandardEncoding import StandardEncoding
from pdfminer.latin_enc import ENCODING as LATIN_ROWS

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
URW = "/usr/share/fonts/type1/urw-base35/"
GS_INIT = glob.glob("/usr/share/ghostscript/*/Resource/Init/")[0]

# The 12 Latin standard fonts in column order, with the metric-compatible URW faces.
LATIN_FONTS = [
    ("Courier", "NimbusMonoPS-Regular"), ("Courier-Bold", "NimbusMonoPS-Bold"),
    ("Courier-BoldOblique", "NimbusMonoPS-BoldItalic"), ("Courier-Oblique", "NimbusMonoPS-Italic"),
    ("Helvetica", "NimbusSans-Regular"), ("Helvetica-Bold", "NimbusSans-Bold"),
    ("Helvetica-BoldOblique", "NimbusSans-BoldItalic"), ("Helvetica-Oblique", "NimbusSans-Italic"),
    ("Times-Roman", "NimbusRoman-Regular"), ("Times-Bold", "NimbusRoman-Bold"),
    ("Times-Italic", "NimbusRoman-Italic"), ("Times-BoldItalic", "NimbusRoman-BoldItalic"),
]
# Code ranges of the HeiseiKakuGo-W5 width table; the half-width forms all get 500.
HEISEI_RANGES = [(0x0020, 0x00FF), (0x2002, 0x2044), (0x0300, 0x0332), (0x0131, 0x01C0), (0xFB01, 0xFB02)]
HEISEI_HALF_WIDTH = (0xFF61, 0xFFE8, 500)


def check(condition, message):
    if not condition:
        sys.exit("check failed: " + message)


def agl_entries():
    """The Adobe Glyph List: name -> tuple of code points."""
    result = {}
    for line in agl._aglText.splitlines():
        if not line or line.startswith("#"):
            continue
        name, values = line.split(";")
        check(name not in result, "duplicate AGL name " + name)
        result[name] = tuple(int(v, 16) for v in values.split())
    return result


def agl_notice():
    """The copyright block and the name, version and date lines of the list's header."""
    lines = []
    for line in agl._aglText.splitlines():
        if line.startswith(("# URL", "# Format")) or not line.startswith("#"):
            break
        lines.append("//" + line[1:])
    return "\n".join(lines)


def read_afm(face):
    """(name -> (code, width)) in file order, and the notice lines."""
    glyphs, notice = {}, []
    with open(URW + face + ".afm", encoding="latin-1") as f:
        for line in f:
            if line.startswith(("Comment Copyright", "Notice")):
                notice.append(line.strip())
            if line.startswith("C "):
                m = re.match(r"C (-?\d+) ; WX (\d+) ; N (\S+) ;", line)
                check(m is not None, "AFM line " + line)
                glyphs.setdefault(m.group(3), (int(m.group(1)), int(m.group(2))))
    return glyphs, notice


def read_ps_encoding(file_name, vector):
    """The 256 names of a ghostscript encoding vector; 'StandardEncoding 0 32 getinterval'
    stands for 32 .notdef names."""
    text = open(GS_INIT + file_name, encoding="latin-1").read()
    body = text[text.index("/" + vector) + len(vector) + 1:]
    names = []
    for line in body.splitlines():
        line = line.split("%")[0]
        if "packedarray" in line:
            break
        if "StandardEncoding 0 32 getinterval" in line:
            names += [".notdef"] * 32
            continue
        names += re.findall(r"/(\S+)", line)
    check(len(names) == 256, file_name + " has 256 names")
    return names


def latin_rows(names_to_uv, faces):
    rows = {}
    for name, std, mac, win, pdf in LATIN_ROWS:
        # The table's extra rows give "space" again at MacRoman 202 and WinAnsi 160 and 173,
        # and "nbspace"; those codes are the encodings' fall-backs, not rows of the set.
        if name == "nbspace" or name in rows:
            continue
        rows[name] = [c if c is not None else -1 for c in (std, mac, win, pdf)]
    check(len(rows) == 229, "229 Latin names")
    for name, codes in rows.items():
        std, mac, win, pdf = codes
        check(std == -1 or StandardEncoding[std] == name, "StandardEncoding " + name)
        check(mac == -1 or MacRoman[mac] == name, "MacRoman " + name)
        uv = names_to_uv[name]
        check(len(uv) == 1 and uv[0] <= 0xFFFF, "one BMP value for " + name)
        if win != -1:
            check(bytes([win]).decode("cp1252") == chr(uv[0]), "WinAnsi " + name)
        if pdf >= 0xA1 and pdf != 0xAD or 0x20 <= pdf <= 0x7E:
            check(pdf == uv[0], "PDFDoc " + name)
    # Every name a second source places in the first three encodings is in the set.
    for code, name in enumerate(StandardEncoding):
        check(name == ".notdef" or rows[name][0] == code, "StandardEncoding code %d" % code)
    for code in range(256):
        try:
            uv = ord(bytes([code]).decode("cp1252"))
        except UnicodeDecodeError:
            continue
        names = [n for n, c in rows.items() if c[2] == code]
        check(code < 32 or code in (127, 160, 173) or names, "WinAnsi code %d claimed" % code)
    result = []
    for name in sorted(rows, key=lambda n: n.encode()):
        uv = 0x002D if name == "minus" else names_to_uv[name][0]
        widths = [faces[i][0][name][1] for i in range(12)]
        result.append((name, uv, rows[name], widths))
    return result


def symbol_rows(names_to_uv):
    glyphs, notice = read_afm("StandardSymbolsPS")
    gs = read_ps_encoding("gs_sym_e.ps", "SymbolEncoding")
    rows = []
    for name, (code, width) in glyphs.items():
        # The URW face carries an Apple logo at 128, a glyph the standard Symbol set lacks.
        if name in (".notdef", "apple"):
            continue
        check(gs[code] == name, "Symbol code of " + name)
        uv = names_to_uv[name]
        check(len(uv) == 1, "one value for " + name)
        rows.append((name, code, uv[0], width))
    check(len(rows) == 189 and len(rows) == sum(n != ".notdef" for n in gs), "189 Symbol names")
    return sorted(rows, key=lambda r: r[0].encode()), notice


def expert_rows():
    names = read_ps_encoding("gs_mex_e.ps", "MacExpertEncoding")
    rows = [(name, code) for code, name in enumerate(names) if name != ".notdef"]
    check(len(set(n for n, _ in rows)) == len(rows), "MacExpert names unique")
    return sorted(rows, key=lambda r: r[0].encode())


def heisei_rows(latin):
    """Helvetica widths keyed by Unicode value over the table's ranges (the glyph's Adobe
    Glyph List value, so minus is U+2212 here), then 500 for the half-width forms."""
    names_to_uv = agl_entries()
    widths = {}
    for name, _, _, w in latin:
        uv = names_to_uv[name][0]
        if any(lo <= uv <= hi for lo, hi in HEISEI_RANGES):
            check(uv not in widths, "one glyph per code")
            widths[uv] = w[4]
    lo, hi, w = HEISEI_HALF_WIDTH
    for code in range(lo, hi + 1):
        widths[code] = w
    check(widths[0x20] == 278 and widths[0x22] == 355, "Heisei examples")
    return sorted(widths.items())


def dingbat_rows():
    rows = []
    for n in range(1, 1000):
        text = agl._zapfDingbatsToUnicode("a%d" % n)
        if text:
            rows.append(("a%d" % n, tuple(ord(ch) for ch in text)))
    return rows


def dingbat_codes():
    """The built-in encoding of ZapfDingbats, from the URW clone's metrics: (code, name)."""
    glyphs, _ = read_afm("D050000L")
    rows = sorted((code, name) for name, (code, _) in glyphs.items() if 0 <= code <= 255)
    for code, name in rows:
        check(name == "space" or agl._zapfDingbatsToUnicode(name), "dingbat name " + name)
    check(len(rows) == 202 and rows[1] == (33, "a1"), "202 dingbat codes")
    return rows


def u16(values):
    units = []
    for v in values:
        if v > 0xFFFF:
            v -= 0x10000
            units += [0xD800 + (v >> 10), 0xDC00 + (v & 0x3FF)]
        else:
            units.append(v)
    return 'u"' + "".join("\\u%04X" % u for u in units) + '"'


HEADER = """// Generated by tools/gen_glyph_tables.py from Debian package files; do not edit.
#include "data/PellarFontData.h"
"""


def write(path, text):
    with open(os.path.join(ROOT, path), "w", encoding="ascii") as f:
        f.write(text)


def main():
    names_to_uv = agl_entries()
    faces = [read_afm(face) for _, face in LATIN_FONTS]
    latin = latin_rows(names_to_uv, faces)
    symbol, symbol_notice = symbol_rows(names_to_uv)
    expert = expert_rows()
    heisei = heisei_rows(latin)
    dingbats = dingbat_codes()
    out = [HEADER, """
// Sources:
// - Latin character set (names, StandardEncoding, MacRomanEncoding, WinAnsiEncoding and
//   PDFDocEncoding codes): pdfminer's latin_enc.py (python3-pdfminer, MIT licence), checked
//   against fontTools' StandardEncoding and MacRoman and Python's cp1252 codec.
// - Symbol set: codes of the URW StandardSymbolsPS metrics, checked against ghostscript's
//   gs_sym_e.ps; MacExpertEncoding: ghostscript's gs_mex_e.ps (libgs10-common).
// - ZapfDingbats built-in encoding: the codes of the URW D050000L metrics, each name checked
//   against the Zapf Dingbats names of the Adobe Glyph List.
// - Unicode values: the Adobe Glyph List (python3-fonttools), "minus" as U+002D in the Latin set.
// - Widths: the AFM files of fonts-urw-base35, metric-compatible with the standard fonts:
""" + "\n".join("//   " + line for line in faces[0][1] + symbol_notice) + """
//   (AGPL-3 with font exception; only the advance widths are taken).
// - HeiseiKakuGo-W5: no published table exists; rebuilt from the Helvetica widths of the
//   Latin set keyed by Unicode value over the table's ranges, 500 for the half-width forms.
//
// Adobe Glyph List notice:
""" + agl_notice() + "\n"]
    out.append("\nnamespace {\n\nconst TLatinGlyph LatinRows[] = {\n")
    for name, uv, codes, widths in latin:
        out.append('    {"%s", 0x%04X, {%s}, {%s}},\n' % (name, uv, ", ".join(map(str, codes)), ", ".join(map(str, widths))))
    out.append("};\n\nconst TSymbolGlyph SymbolRows[] = {\n")
    for name, code, uv, width in symbol:
        out.append('    {"%s", %d, 0x%04X, %d},\n' % (name, code, uv, width))
    out.append("};\n\nconst TExpertGlyph ExpertRows[] = {\n")
    for name, code in expert:
        out.append('    {"%s", %d},\n' % (name, code))
    out.append("};\n\nconst THeiseiWidth HeiseiRows[] = {\n")
    for i in range(0, len(heisei), 6):
        out.append("    " + " ".join("{0x%04X, %d}," % r for r in heisei[i:i + 6]) + "\n")
    out.append("};\n\nconst TDingbatCode DingbatRows[] = {\n")
    for i in range(0, len(dingbats), 6):
        out.append("    " + " ".join('{%d, "%s"},' % r for r in dingbats[i:i + 6]) + "\n")
    out.append("""};

}  // namespace

std::span<const TLatinGlyph> LatinGlyphs() { return LatinRows; }
std::span<const TSymbolGlyph> SymbolGlyphs() { return SymbolRows; }
std::span<const TExpertGlyph> ExpertGlyphs() { return ExpertRows; }
std::span<const THeiseiWidth> HeiseiWidths() { return HeiseiRows; }
std::span<const TDingbatCode> DingbatCodes() { return DingbatRows; }
""")
    write("data/PellarGlyphTables.cpp", "".join(out))

    entries = dict(names_to_uv)
    for name, values in dingbat_rows():
        check(name not in entries, "dingbat name clashes with " + name)
        entries[name] = values
    out = [HEADER, """
// The Adobe Glyph List (python3-fonttools) and the ITC Zapf Dingbats names "a1"..., sorted
// by the bytes of the name.
//
""" + agl_notice() + "\n\nnamespace {\n\nconst TGlyphListEntry Rows[] = {\n"]
    for name in sorted(entries, key=lambda n: n.encode()):
        out.append('    {"%s", %s},\n' % (name, u16(entries[name])))
    out.append("};\n\n}  // namespace\n\nstd::span<const TGlyphListEntry> GlyphList() { return Rows; }\n")
    write("data/PellarGlyphList.cpp", "".join(out))
    print("Dingbat codes %d" % len(dingbats))
    print("Latin %d, Symbol %d, MacExpert %d, Heisei %d, glyph list %d" %
          (len(latin), len(symbol), len(expert), len(heisei), len(entries)))


main()
