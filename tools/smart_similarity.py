#!/usr/bin/env python3
"""How close SMART's text comes to `pdftotext -layout`'s, with white space collapsed.

  smart_similarity.py BEFORE_BIN AFTER_BIN PDF_OR_DIR... [--worst K] [--jobs N]

For each PDF and each page, both texts are cut at white space, and difflib's ratio compares
the two sequences of pieces (pieces, not characters, keep a run over many files short); a
file's score is the mean of its pages' ratios weighted by the
length of pdftotext's page. Prints the mean over the files for both binaries and the files
that got worse or better by more than 0.001. Each PDF is read through a private link, so -T
leaves nothing beside the source.
"""
import argparse, difflib, multiprocessing, os, subprocess, tempfile

MARK = "@@vorbix-page@@"  # the header each SMART page starts with


def pdfs(paths):
    for p in paths:
        if os.path.isdir(p):
            for dp, _, fs in os.walk(p):
                for f in sorted(fs):
                    if f.lower().endswith(".pdf"):
                        yield os.path.join(dp, f)
        else:
            yield p


def collapse(text):
    return text.split()


def smart_pages(binary, pdf):
    d = tempfile.mkdtemp()
    os.symlink(os.path.abspath(pdf), os.path.join(d, "in.pdf"))
    try:
        r = subprocess.run([os.path.abspath(binary), "in.pdf", "-T", "-OSMART", "-H" + MARK], capture_output=True,
                           timeout=300, cwd=d)
        text = r.stdout.decode("utf-8", "replace") if r.returncode == 0 else ""
    except subprocess.TimeoutExpired:
        text = ""
    subprocess.run(["rm", "-rf", d])
    return [collapse(p) for p in text.split(MARK)[1:]]


def ratio(a, b):
    return difflib.SequenceMatcher(None, a, b, autojunk=False).ratio() if a or b else 1.0


def score(args):
    before, after, pdf = args
    try:
        t = subprocess.run(["pdftotext", "-q", "-layout", "-enc", "UTF-8", pdf, "-"], capture_output=True, timeout=300)
    except subprocess.TimeoutExpired:
        return None
    if t.returncode:
        return None
    ref = [collapse(p) for p in t.stdout.decode("utf-8", "replace").split("\f")]
    out = []
    for binary in (before, after):
        pages = smart_pages(binary, pdf)
        total = weight = 0.0
        for i, r in enumerate(ref):
            if not r:
                continue
            got = pages[i] if i < len(pages) else ""
            length = sum(len(w) + 1 for w in r)
            total += length * ratio(got, r)
            weight += length
        out.append(total / weight if weight else None)
    return None if out[0] is None else (out[0], out[1], pdf)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("before"); ap.add_argument("after"); ap.add_argument("paths", nargs="+")
    ap.add_argument("--worst", type=int, default=15); ap.add_argument("--jobs", type=int, default=2)
    a = ap.parse_args()
    with multiprocessing.Pool(a.jobs) as pool:
        rows = [r for r in pool.map(score, [(a.before, a.after, p) for p in pdfs(a.paths)]) if r]
    n = len(rows)
    print(f"{n} PDFs; mean before {sum(r[0] for r in rows)/n:.4f} after {sum(r[1] for r in rows)/n:.4f}")
    worse = sorted((r for r in rows if r[1] < r[0] - 0.001), key=lambda r: r[1] - r[0])
    better = [r for r in rows if r[1] > r[0] + 0.001]
    print(f"better {len(better)}, worse {len(worse)}")
    for r in worse[: a.worst]:
        print(f"  worse {r[0]:.4f} -> {r[1]:.4f}  {r[2]}")
    for r in sorted(better, key=lambda r: r[0] - r[1])[: a.worst]:
        print(f"  better {r[0]:.4f} -> {r[1]:.4f}  {r[2]}")


if __name__ == "__main__":
    main()
