#!/bin/sh
# Makes the benchmark book: long manual pages set by groff and turned into PDF by
# ghostscript (embedded Type 1C subsets, custom encodings), joined ten times with qpdf.
# Usage: bench/make_book.sh OUT.pdf [COPIES]
set -e
out=${1:?usage: make_book.sh OUT.pdf [COPIES]}
copies=${2:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pages="bash git-config curl gpg tmux"
for p in $pages; do
  src=$(man -w "$p" 2>/dev/null || true)
  [ -n "$src" ] || { echo "manual page $p missing" >&2; exit 1; }
  zcat -f "$src" > "$work/$p.1"
done
(cd "$work" && groff -man -Tps $(for p in $pages; do echo "$p.1"; done) > base.ps 2>/dev/null)
ps2pdf "$work/base.ps" "$work/base.pdf"
# Distinct copies, so that qpdf keeps each copy's objects instead of sharing one set.
list=""
i=1
while [ "$i" -le "$copies" ]; do
  cp "$work/base.pdf" "$work/copy$i.pdf"
  list="$list $work/copy$i.pdf"
  i=$((i + 1))
done
qpdf --empty --pages $list -- "$out"
echo "$out: $(qpdf --show-npages "$out") pages, $(wc -c < "$out") bytes"
