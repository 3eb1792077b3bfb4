#!/usr/bin/env python3
"""Makes the damaged files under tests/fixtures/damaged/ from real files committed in
tests/fixtures/ (see the damaged/ section of tests/fixtures/README.md).

Every damage is a byte edit of a known place, so the output is the same on every run. Each edit
checks that the bytes it changes are there, so a changed source stops the script instead of
giving a file damaged somewhere else.

Usage: python3 tools/make-damaged-fixtures.py   (from anywhere; standard library only)
"""
import os
import re
import sys

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures")
OUT = os.path.join(FIXTURES, "damaged")


def read(name):
    with open(os.path.join(FIXTURES, name), "rb") as f:
        return f.read()


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def only(data, pattern):
    """The one match of `pattern` (bytes regex) in `data`."""
    found = list(re.finditer(pattern, data))
    if len(found) != 1:
        sys.exit("expected one match of %r, found %d" % (pattern, len(found)))
    return found[0]


def last_startxref(data):
    m = list(re.finditer(rb"startxref\r?\n(\d+)\r?\n", data))
    if not m:
        sys.exit("no startxref")
    return m[-1]


def remove_startxref(data):
    """The keyword and its number go; "%%EOF" stays."""
    m = last_startxref(data)
    return data[: m.start()] + data[m.end():]


def table_truncated(data):
    """The file ends inside the classic table, in the middle of an entry line."""
    m = last_startxref(data)
    xref = int(m.group(1))
    assert data[xref:xref + 4] == b"xref"
    count = int(only(data[xref:], rb"^xref\r?\n0 (\d+)\r?\n").group(1))
    header = len(only(data[xref:], rb"^xref\r?\n0 \d+\r?\n").group(0))
    # Half the entries and eleven bytes of the next: its offset and the blank after it.
    return data[: xref + header + (count // 2) * 20 + 11]


def table_middle_removed(data):
    """Entries 5 to 14 of the only subsection are cut out; the header still counts them and
    the trailer and startxref stay."""
    m = last_startxref(data)
    xref = int(m.group(1))
    header = len(only(data[xref:], rb"^xref\r?\n0 \d+\r?\n").group(0))
    first = xref + header + 5 * 20
    cut = data[first:first + 10 * 20]
    assert re.fullmatch(rb"(\d{10} \d{5} [nf] \n){10}", cut), cut
    return data[:first] + data[first + len(cut):]


def shift_after_header(data, insert):
    """Bytes after the header line, every offset left as it was: each offset now points
    len(insert) bytes before what it names."""
    end = data.index(b"\n") + 1
    assert data.startswith(b"%PDF-")
    return data[:end] + insert + data[end:]


def remove_trailer(data):
    """The "trailer" keyword and its dictionary go; the table, startxref and %%EOF stay."""
    m = only(data, rb"(?s)trailer\r?\n<<.*?>>\r?\n(?=startxref)")
    return data[: m.start()] + data[m.end():]


def corrupt_stream_data(data, object_header):
    """The data of the stream object `object_header` have their middle bytes overwritten; the
    first two (the zlib header) and the length stay."""
    m = only(data, re.escape(object_header) + rb"\r?\n<<.*?>>\r?\nstream\r?\n")
    length = int(only(m.group(0), rb"/Length (\d+)").group(1))
    start = m.end() + 2
    size = length - 6
    assert size > 0
    return data[:start] + b"\xff" * size + data[start + size:]


def xref_stream(number, entries, trailer_entries):
    """An uncompressed cross-reference stream object for `entries` (number -> offset, all in
    use), fields of 1, 2 and 1 bytes."""
    numbers = sorted(entries)
    index = []
    for n in numbers:
        if index and index[-2] + index[-1] == n:
            index[-1] += 1
        else:
            index += [n, 1]
    rows = b"".join(bytes([1, entries[n] >> 8, entries[n] & 0xFF, 0]) for n in numbers)
    assert all(entries[n] < 0x10000 for n in numbers)
    head = b"%d 0 obj\n<< /Type /XRef /W [ 1 2 1 ] /Index [ %s ] /Length %d %s >>\nstream\n" % (
        number, b" ".join(b"%d" % i for i in index), len(rows), trailer_entries)
    return head + rows + b"\nendstream\nendobj\n"


def prev_off_before_xref_stream(data):
    """An incremental update whose cross-reference stream has a /Prev that falls in blank
    lines 48 bytes before the earlier stream it should name."""
    blanks = b"\n" * 96
    old = int(last_startxref(data).group(1))
    header = only(data, rb"\n(\d+) 0 obj\r?\n<< /Type /XRef [^\n]*\n").group(0)
    assert data[old - 1:old + len(header) - 1] == header
    size = int(only(header, rb"/Size (\d+)").group(1))
    root = only(header, rb"/Root \d+ \d+ R").group(0)
    ident = only(header, rb"/ID \[[^\]]*\]").group(0)
    # The earlier revision, its stream moved past the blank lines and its startxref following.
    base = data[:old] + blanks + data[old:]
    base = base[: last_startxref(base).start()] + b"startxref\n%d\n%%%%EOF\n" % (old + len(blanks))
    info_number, xref_number = size, size + 1
    info_at = len(base)
    info = b"%d 0 obj\n<< /Title (Updated) >>\nendobj\n" % info_number
    xref_at = info_at + len(info)
    prev = old + len(blanks) - 48
    stream = xref_stream(xref_number, {info_number: info_at, xref_number: xref_at},
                         b"/Size %d %s /Info %d 0 R %s /Prev %d" % (xref_number + 1, root, info_number, ident, prev))
    # A reader looks for the section's keyword in 40 bytes from 10 before /Prev: all blanks.
    assert base[prev - 10:prev + 30] == b"\n" * 40
    return base + info + stream + b"startxref\n%d\n%%%%EOF\n" % xref_at


def page_update(data, broken):
    """An incremental update that replaces the second page's content stream (object 13 of
    gs_layout.pdf) with one of changed text, with a classic table and trailer chained by
    /Prev. When `broken`, the update's table is missing: startxref names the trailer."""
    old = int(last_startxref(data).group(1))
    trailer = only(data, rb"(?s)trailer\r?\n<<(.*?)>>\r?\nstartxref")
    content = (b"q 0.1 0 0 0.1 0 0 cm\n0 g\nq\n10 0 0 10 0 0 cm BT\n/R10 12 Tf\n1 0 0 1 72 700 Tm\n"
               b"(Second page, revised)Tj\n300 TL\n(Far below, revised)'\nET\nQ\nQ\n")
    at = len(data)
    body = b"13 0 obj\n<</Length %d>>stream\n%sendstream\nendobj\n" % (len(content), content)
    table = b"xref\n0 1\n0000000000 65535 f \n13 1\n%010d 00000 n \n" % at
    tail = b"trailer\n<<%s/Prev %d >>\nstartxref\n%d\n%%%%EOF\n" % (trailer.group(1), old, at + len(body))
    return data + body + (b"" if broken else table) + tail


def main():
    os.makedirs(OUT, exist_ok=True)
    gs_layout = read("gs_layout.pdf")
    objstm = read("variants/objstm.pdf")
    write("gs_layout-no-startxref.pdf", remove_startxref(gs_layout))
    write("objstm-no-startxref.pdf", remove_startxref(objstm))
    write("groff_man-table-truncated.pdf", table_truncated(read("groff_man.pdf")))
    write("gs_letters-table-middle-removed.pdf", table_middle_removed(read("gs_letters.pdf")))
    write("objstm-xref-stream-corrupt.pdf", corrupt_stream_data(objstm, b"11 0 obj"))
    write("cairo_notes-shifted.pdf", shift_after_header(read("cairo_notes.pdf"), b"   "))
    write("objstm-shifted.pdf", shift_after_header(objstm, b"%x\n"))
    # Too far for a reader that looks for the table's keyword near the offset.
    write("gs_layout-shifted-far.pdf", shift_after_header(gs_layout, b"%" + b"-" * 46 + b"\n"))
    write("objstm-prev-off.pdf", prev_off_before_xref_stream(objstm))
    write("groff_notes-no-trailer.pdf", remove_trailer(read("groff_notes.pdf")))
    write("gs_layout-update.pdf", page_update(gs_layout, broken=False))
    write("gs_layout-update-broken.pdf", page_update(gs_layout, broken=True))


if __name__ == "__main__":
    main()
