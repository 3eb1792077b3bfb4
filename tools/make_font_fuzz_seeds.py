#!/usr/bin/python3
"""Writes the seeds of tests/fuzz/fuzz_fonts: font object sets in the target's input form,
object bodies 1, 2, ... separated by "endobj". The font programs come from the fixtures under
tests/fixtures/fontload (qpdf gives the decoded programs of the ghostscript files)."""
import json
import os
import subprocess

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
FIXTURES = os.path.join(ROOT, "tests", "fixtures", "fontload")
OUT = os.path.join(ROOT, "tests", "fuzz", "seeds", "fuzz_fonts")


def program(pdf, key):
    """The decoded stream of the first font descriptor entry `key` and its /Length1, /Length2."""
    path = os.path.join(FIXTURES, pdf)
    objects = json.loads(subprocess.check_output(["qpdf", "--json", path]))["qpdf"][1]
    for obj in objects.values():
        value = obj.get("value")
        if isinstance(value, dict) and key in value:
            ref = value[key]
            lengths = objects["obj:" + ref]["stream"]["dict"]
            data = subprocess.check_output(
                ["qpdf", "--show-object=" + ref.split()[0], "--filtered-stream-data", path])
            return data, lengths.get("/Length1", 0), lengths.get("/Length2", 0)
    raise SystemExit("no " + key + " in " + pdf)


def stream(entries, data):
    return b"<< " + entries.encode() + b" /Length %d >>\nstream\n" % len(data) + data + b"\nendstream"


def write(name, bodies):
    bodies = [b.encode() if isinstance(b, str) else b for b in bodies]
    with open(os.path.join(OUT, name), "wb") as out:
        out.write(b"\nendobj\n".join(bodies))


os.makedirs(OUT, exist_ok=True)
to_unicode = (b"/CIDInit /ProcSet findresource begin 1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
              b"2 beginbfchar <0001> <0041> <0002> <D835DC00> endbfchar\n"
              b"2 beginbfrange <0010> <0012> <0061> <0020> <0021> [<0030> <00660069>] endbfrange endcmap")
with open(os.path.join(FIXTURES, "symbolic.ttf"), "rb") as f:
    truetype = f.read()
write("type0_identity", [
    "<< /Type /Font /Subtype /Type0 /BaseFont /X /Encoding /Identity-H /DescendantFonts [2 0 R] /ToUnicode 4 0 R >>",
    "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /X /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity)"
    " /Supplement 0 >> /FontDescriptor 3 0 R /DW 1000 /W [1 [500 600] 10 20 300] /CIDToGIDMap /Identity >>",
    "<< /Type /FontDescriptor /Flags 4 /Ascent 0.9 /Descent -200 /FontFile2 5 0 R >>",
    stream("", to_unicode),
    stream("/Length1 %d" % len(truetype), truetype),
])
data, length1, length2 = program("type1.pdf", "/FontFile")
write("type1_differences", [
    "<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+Roman /FirstChar 1 /LastChar 66 /Widths [500 600 700]"
    " /Encoding << /Differences [1 /A /quotedblleft /Euro 65 /B] >> /FontDescriptor 2 0 R >>",
    "<< /Type /FontDescriptor /Flags 4 /MissingWidth 250 /FontFile 3 0 R >>",
    stream("/Length1 %d /Length2 %d /Length3 0" % (length1, length2), data),
])
data, _, _ = program("cff.pdf", "/FontFile3")
write("type1c_symbolic", [
    "<< /Type /Font /Subtype /Type1 /BaseFont /Sym /Encoding << /BaseEncoding /WinAnsiEncoding"
    " /Differences [97 /alpha /beta] >> /FontDescriptor 2 0 R >>",
    "<< /Type /FontDescriptor /Flags 4 /Ascent 1010 /FontFile3 3 0 R >>",
    stream("/Subtype /Type1C", data),
])
write("standard_and_type3", [
    "<< /Type /Font /Subtype /Type1 /BaseFont /Symbol >>",
    "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Oblique /Encoding /WinAnsiEncoding >>",
    "<< /Type /Font /Subtype /Type3 /FontMatrix [0.01 0 0 0.01 0 0] /FirstChar 32 /LastChar 300"
    " /Widths [1 2 3] /Encoding << /Differences [32 /g1 /g2] >> >>",
    "<< /Type /Font /Subtype /TrueType /BaseFont /ArialMT,Bold /FontDescriptor << /Flags 32 >> >>",
])
write("japanese", [
    "<< /Type /Font /Subtype /Type0 /BaseFont /HeiseiKakuGo-W5 /Encoding /90ms-RKSJ-H /DescendantFonts [2 0 R] >>",
    "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /HeiseiKakuGo-W5 /CIDSystemInfo << /Registry (Adobe)"
    " /Ordering (Japan1) /Supplement 2 >> /DW 1000 /FontDescriptor << /Flags 4 >> >>",
    "<< /Type /Font /Subtype /Type0 /Encoding 4 0 R /DescendantFonts [5 0 R] >>",
    stream("", b"begincodespacerange <00> <FF> endcodespacerange"),
    "<< /Subtype /CIDFontType2 /W [0 4294967295 300 1 [1 2 3]] /CIDSystemInfo 6 0 R >>",
    "<< /Registry (Adobe) /Ordering (UCS) >>",
])
write("cycles", [
    "<< /Type /Font /Subtype /Type0 /DescendantFonts [1 0 R] /Encoding 1 0 R /ToUnicode 1 0 R >>",
    "<< /Type /Font /Subtype /TrueType /FontDescriptor 2 0 R /Encoding 2 0 R /Widths 2 0 R >>",
    "<< /Type /Font /Subtype /Type0 /DescendantFonts [2 0 R 1 0 R] >>",
    "<< /Subtype /Type1 /FirstChar -2147483648 /LastChar 2147483647 /Widths [1 2 3] >>",
])
