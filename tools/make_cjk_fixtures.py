#!/usr/bin/python3
"""Writes tests/fixtures/cjk/gbk-euc.pdf, uhc.pdf and vertical.pdf: one page each in a
non-embedded CID font through a predefined CMap and without a ToUnicode map (GBK-EUC-H with
STSong-Light, KSCms-UHC-H with HYSMyeongJo-Medium; Identity-V and Identity-H with
HeiseiMin-W3). Lines are encoded with Python's gbk and cp949 codecs; the Japanese page's codes
are Adobe-Japan1 CIDs, taken from poppler-data's Adobe-Japan1-UCS2.

Usage: /usr/bin/python3 tools/make_cjk_fixtures.py
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_japan_cmaps import cid_to_unicode, read  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests/fixtures/cjk")


def pdf(objects):
    """Numbered objects (1-based) with a classic cross-reference table; object 1 is the catalog."""
    out = b"%PDF-1.4\n"
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    table = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, table)
    return out


def string(data):
    return b"<" + data.hex().upper().encode() + b">"


def one_page(content, fonts, objects):
    """A page showing the content with the fonts ("/F1 5 0 R ..."); the objects follow from number 5."""
    return pdf([
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << %s >> >> "
        b"/Contents 4 0 R >>" % fonts,
        b"<< /Length %d >>\nstream\n" % len(content) + content + b"endstream",
    ] + objects)


def descriptor(font):
    return (b"<< /Type /FontDescriptor /FontName /%s /Flags 6 /FontBBox [0 -141 1000 855] /ItalicAngle 0 "
            b"/Ascent 855 /Descent -141 /CapHeight 855 /StemV 93 >>" % font)


def page(font, encoding, ordering, supplement, widths, lines, codec):
    content = b"BT\n/F1 18 Tf\n"
    y = 760
    for line in lines:
        content += b"1 0 0 1 72 %d Tm %s Tj\n" % (y, string(line.encode(codec)))
        y -= 30
    content += b"ET\n"
    return one_page(content, b"/F1 5 0 R", [
        b"<< /Type /Font /Subtype /Type0 /BaseFont /%s /Encoding /%s /DescendantFonts [6 0 R] >>"
        % (font, encoding),
        b"<< /Type /Font /Subtype /CIDFontType0 /BaseFont /%s /CIDSystemInfo << /Registry (Adobe) "
        b"/Ordering (%s) /Supplement %d >> /FontDescriptor 7 0 R /DW 1000 /W %s >>"
        % (font, ordering, supplement, widths),
        descriptor(font),
    ])


def japan1(text):
    """The Adobe-Japan1 CIDs of the characters (the first CID of each), as 2-byte codes."""
    cids = {}
    for cid, value in sorted(cid_to_unicode(read("Adobe-Japan1-UCS2")).items()):
        cids.setdefault(value.decode("utf-16-be", "surrogatepass"), cid)
    return b"".join(cids[ch].to_bytes(2, "big") for ch in text)


def vertical_page():
    """A horizontal title over three columns set down through Identity-V, right to left."""
    content = b"BT\n/F1 20 Tf\n1 0 0 1 72 780 Tm %s Tj\n/F2 24 Tf\n" % string(japan1("縦書きの試験"))
    for x, column in ((480, "縦書きの日本語"), (440, "右から左へ読む"), (400, "三行目です")):
        content += b"1 0 0 1 %d 740 Tm %s Tj\n" % (x, string(japan1(column)))
    content += b"ET\n"
    descendant = (b"<< /Type /Font /Subtype /CIDFontType0 /BaseFont /HeiseiMin-W3 /CIDSystemInfo << /Registry (Adobe) "
                  b"/Ordering (Japan1) /Supplement 6 >> /FontDescriptor 8 0 R /DW 1000 >>")
    return one_page(content, b"/F1 5 0 R /F2 9 0 R", [
        b"<< /Type /Font /Subtype /Type0 /BaseFont /HeiseiMin-W3 /Encoding /Identity-H /DescendantFonts [6 0 R] >>",
        descendant,  # the horizontal font's; the vertical font has the same of its own (7)
        descendant,
        descriptor(b"HeiseiMin-W3"),
        b"<< /Type /Font /Subtype /Type0 /BaseFont /HeiseiMin-W3 /Encoding /Identity-V /DescendantFonts [7 0 R] >>",
    ])


def main():
    os.makedirs(OUT, exist_ok=True)
    # GBK-EUC-H: bytes 0x21-0x7E are CIDs 814-907 and 0x20 is CID 7716, all half width.
    chinese = page(b"STSong-Light", b"GBK-EUC-H", b"GB1", 4, b"[814 907 500 7716 [500]]", [
        "中文文本提取测试",
        "你好，世界。GBK 2024",
        "啊阿埃挨哎唉哀",
    ], "gbk")
    # KSCms-UHC-H: bytes 0x20-0x7E are the proportional CIDs 1-95, given half width.
    korean = page(b"HYSMyeongJo-Medium", b"KSCms-UHC-H", b"Korea1", 2, b"[1 95 500]", [
        "한국어 텍스트 추출 시험",
        "안녕하세요, 세계! UHC 2024",
        "가나다라마바사",
    ], "cp949")
    for name, data in (("gbk-euc.pdf", chinese), ("uhc.pdf", korean), ("vertical.pdf", vertical_page())):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
