#!/usr/bin/python3
"""Generates data/PellarCJKCMaps.cpp from poppler-data's Adobe-GB1, Adobe-CNS1 and
Adobe-Korea1 CMaps.

Run once with Debian's own interpreter: /usr/bin/python3 tools/gen_cjk_cmaps.py
Needs poppler-data (Adobe's CMap resources); the build does not.

Per collection two zlib-compressed blobs:
- CID to Unicode, in the section format of TPellarCMap (see tools/gen_japan_cmaps.py).
- The code maps, unsigned LEB128 integers throughout:
    CID count of the collection, map count; per map:
      base (1 + index of an earlier map this one overrides, 0 for none),
      keying (0: string bytes under the codespace ranges, 1: Unicode values),
      inverse (1: codes no range of the chain holds take the first CID whose text is that
               single character),
      codespace count (0: the base's); per range: byte length, low, high (the bytes as a
      big-endian number);
      range count; per range: low minus the end of the previous range, count - 1, CID + 1
      (0: the code has no CID, hiding the base's or the inverse's).
  A 4-byte code is its big-endian value with the top bit cleared, so every code fits an
  int32_t; a Unicode-keyed code is the character's value.
A vertical map holds only the codes it changes and names its horizontal map as base; a
Unicode map is the inverse of the collection's CID-to-Unicode table plus the codes where it
differs, which keeps these maps a few kilobytes.
"""
import os
import re
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_japan_cmaps import c_array, check, cid_to_unicode, notice, pack, section, sections  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CMAPS = "/usr/share/poppler/cMap/"

# Collection, Unicode-keyed prefix, byte-keyed maps (each with its -V form).
COLLECTIONS = [
    ("GB1", "UniGB", ["GB-EUC", "GBK-EUC", "GBK2K", "GBpc-EUC"]),
    ("CNS1", "UniCNS", ["B5pc", "ETen-B5", "HKscs-B5"]),
    ("Korea1", "UniKS", ["KSC-EUC", "KSCms-UHC", "KSCpc-EUC"]),
]
# GBK2K adds the four-byte codes to GBK: it is stored as the codes where it differs.
EXTENDS = {"GBK2K": "GBK-EUC"}


def read(collection, name):
    with open(CMAPS + "Adobe-" + collection + "/" + name, encoding="latin-1") as f:
        return f.read()


def leb(value):
    check(value >= 0, "unsigned")
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        if value:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def code_key(hex_code, unicode_keyed):
    value = int(hex_code, 16)
    if len(hex_code) == 8:
        if unicode_keyed:
            high, low = value >> 16, value & 0xFFFF
            check(0xD800 <= high <= 0xDBFF and 0xDC00 <= low <= 0xDFFF, "surrogate pair")
            return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00)
        return value & 0x7FFFFFFF
    return value


def usecmap(text):
    found = re.findall(r"/(\S+)\s+usecmap", text)
    return found[0] if found else None


def codespace(text):
    spaces = []
    for body in sections(text, "codespacerange"):
        for low, high in re.findall(r"<([0-9a-fA-F]+)>\s*<([0-9a-fA-F]+)>", body):
            check(len(low) == len(high), "codespace bounds of one length")
            spaces.append((len(low) // 2, int(low, 16), int(high, 16)))
    return spaces


def code_to_cid(text, unicode_keyed):
    """code key -> CID of the map's own ranges and chars (without its usecmap)."""
    result = {}
    for body in sections(text, "cidrange"):
        for low, high, cid in re.findall(r"<([0-9a-fA-F]+)>\s*<([0-9a-fA-F]+)>\s*(\d+)", body):
            check(len(low) == len(high) and low[:-2] == high[:-2], "a range varies its last byte only")
            first = code_key(low, unicode_keyed)
            for i in range(int(high, 16) - int(low, 16) + 1):
                result[first + i] = int(cid) + i
    for body in sections(text, "cidchar"):
        for code, cid in re.findall(r"<([0-9a-fA-F]+)>\s*(\d+)", body):
            result[code_key(code, unicode_keyed)] = int(cid)
    return result


def inverse(unicode_map):
    """Unicode value -> the first CID whose text is that single character."""
    result = {}
    for cid in sorted(unicode_map):
        text = unicode_map[cid].decode("utf-16-be", "surrogatepass")
        if len(text) == 1 and not 0xD800 <= ord(text) <= 0xDFFF:
            result.setdefault(ord(text), cid)
    return result


def difference(wanted, derived):
    """The entries (code, CID or None) where wanted differs from derived."""
    return {code: wanted.get(code) for code in set(wanted) | set(derived) if wanted.get(code) != derived.get(code)}


def ranges(entries):
    """Sorted (low, high, CID or None) runs of consecutive codes with consecutive CIDs."""
    runs = []
    for code in sorted(entries):
        cid = entries[code]
        if runs:
            low, high, first = runs[-1]
            follows = first is None and cid is None or first is not None and cid == first + code - low
            if code == high + 1 and follows:
                runs[-1] = (low, code, first)
                continue
        runs.append((code, code, cid))
    return runs


def encode_map(base, keying, use_inverse, spaces, runs):
    out = leb(base) + leb(keying) + leb(use_inverse) + leb(len(spaces))
    for length, low, high in spaces:
        out += leb(length) + leb(low) + leb(high)
    out += leb(len(runs))
    end = 0
    for low, high, cid in runs:
        check(low >= end, "ascending disjoint ranges")
        out += leb(low - end) + leb(high - low) + leb(0 if cid is None else cid + 1)
        end = high + 1
    return out


def build(collection, uni, byte_keyed):
    """(CID-to-Unicode blob, code-map blob, [(name, index)], notice text, statistics)."""
    ucs2_text = read(collection, "Adobe-%s-UCS2" % collection)
    unicode_map = cid_to_unicode(ucs2_text)
    # The half-width space that byte 0x20 of GB-EUC, GBK and ETen-B5 shows is listed as
    # U+2002 EN SPACE; it is the word space of the text and reads as one.
    for cid, text in unicode_map.items():
        if text == b"\x20\x02":
            unicode_map[cid] = b"\x00\x20"
    by_width = {}
    for cid in sorted(unicode_map):
        by_width.setdefault(len(unicode_map[cid]), []).append((cid, unicode_map[cid]))
    text_blob = pack([section(2, width, items) for width, items in sorted(by_width.items())])
    derived = inverse(unicode_map)

    names, encoded, stats = [], [], []
    full = {}  # name -> the complete code map, for the checks below
    for stem in byte_keyed + ["%s-UCS2" % uni, "%s-UTF16" % uni]:
        unicode_keyed = stem.startswith(uni)
        horizontal_text = read(collection, stem + "-H")
        check(usecmap(horizontal_text) is None, stem + "-H stands alone")
        horizontal = code_to_cid(horizontal_text, unicode_keyed)
        base = 0
        if unicode_keyed:
            own = difference(horizontal, derived)
            spaces = []
        elif stem in EXTENDS:
            own = difference(horizontal, full[EXTENDS[stem] + "-H"])
            base = 1 + dict(names)[EXTENDS[stem] + "-H"]
            spaces = codespace(horizontal_text)
        else:
            own = horizontal
            spaces = codespace(horizontal_text)
        base_index = len(encoded)
        encoded.append(encode_map(base, int(unicode_keyed), int(unicode_keyed), spaces, ranges(own)))
        names.append((stem + "-H", base_index))
        stats.append((stem + "-H", len(horizontal), len(ranges(own))))
        full[stem + "-H"] = horizontal

        vertical_text = read(collection, stem + "-V")
        check(usecmap(vertical_text) == stem + "-H", stem + "-V uses its -H")
        vertical = code_to_cid(vertical_text, unicode_keyed)
        encoded.append(encode_map(base_index + 1, int(unicode_keyed), 0, [], ranges(vertical)))
        names.append((stem + "-V", base_index + 1))
        stats.append((stem + "-V", len(vertical), len(ranges(vertical))))
        full[stem + "-V"] = {**horizontal, **vertical}

    maps_blob = leb(max(unicode_map) + 1) + leb(len(encoded)) + b"".join(encoded)
    return text_blob, maps_blob, names, notice(ucs2_text), stats, unicode_map, full


def main():
    out_arrays, name_rows, lines, examples = [], [], [], {}
    notices = None
    for number, (collection, uni, byte_keyed) in enumerate(COLLECTIONS):
        text_blob, maps_blob, names, text_notice, stats, unicode_map, full = build(collection, uni, byte_keyed)
        notices = notices or text_notice
        examples[collection] = (unicode_map, full)
        for array, blob in (("%sText" % collection, text_blob), ("%sMaps" % collection, maps_blob)):
            packed = zlib.compress(blob, 9)
            out_arrays.append("\n// %d bytes inflated.\n%s\n" % (len(blob), c_array(array, packed)))
            print("%s: %d bytes, %d compressed" % (array, len(blob), len(packed)))
        for name, index in names:
            name_rows.append((name, number, index))
        for name, codes, runs in stats:
            print("  %s: %d codes, %d stored ranges" % (name, codes, runs))

    gb_text, gb = examples["GB1"]
    check(gb["GBK-EUC-H"][0xB0A1] == 940 and gb_text[940] == "啊".encode("utf-16-be"), "GBK-EUC-H example")
    check(gb["GBK-EUC-V"][0xA1AB] == 7704, "GBK-EUC-V example")
    ks_text, ks = examples["Korea1"]
    check(ks["KSCms-UHC-H"][0xB0A1] == 1086 and ks_text[1086] == "가".encode("utf-16-be"), "KSCms-UHC-H example")
    name_rows.sort(key=lambda row: row[0].encode())

    rows = "\n".join('      {"%s", %d, %d},' % row for row in name_rows)
    source = ("""// Generated by tools/gen_cjk_cmaps.py from poppler-data's Adobe-GB1, Adobe-CNS1 and
// Adobe-Korea1 CMaps; do not edit. Per collection the CID-to-Unicode map in the section
// format of TPellarCMap and the code-to-CID maps in the form TPellarCJKMaps reads, both
// zlib-compressed.
//
""" + notices + """

#include "data/PellarFontData.h"

namespace {
""" + "".join(out_arrays) + """
const TCJKCMapName Names[] = {
""" + rows + """
};

}  // namespace

std::span<const TCJKCMapName> CJKCMapNames() { return Names; }

std::string_view CJKCMapData(TCJKCollection collection, bool text) {
  const auto view = [](const auto& bytes) { return std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes); };
  switch (collection) {
    case TCJKCollection::GB1: return text ? view(GB1Text) : view(GB1Maps);
    case TCJKCollection::CNS1: return text ? view(CNS1Text) : view(CNS1Maps);
    case TCJKCollection::Korea1: return text ? view(Korea1Text) : view(Korea1Maps);
  }
  return {};
}
""")
    with open(os.path.join(ROOT, "data/PellarCJKCMaps.cpp"), "w", encoding="ascii") as f:
        f.write(source)


if __name__ == "__main__":
    main()
