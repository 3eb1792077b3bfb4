#!/bin/sh
# Peak memory against the number of pages: vorbix in its three output types (into a file and
# with -T) and mutool on books of several sizes, each with its file size, so that memory that
# grows faster than the file shows. One run each: peak memory hardly varies between runs.
# Usage: bench/memory_by_pages.sh BOOK.pdf...    (VORBIX=path overrides the binary)
set -e
[ $# -gt 0 ] || { echo "usage: memory_by_pages.sh BOOK.pdf..." >&2; exit 1; }
vorbix=${VORBIX:-build-bench/vorbix}
[ -x "$vorbix" ] || vorbix=build/vorbix
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# peak COMMAND...: the maximum resident size in MB.
peak() {
  /usr/bin/time -f "%M" -o "$work/time" "$@" > /dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  awk '{ printf "%.1f", $1 / 1024 }' "$work/time"
}

printf "%-28s %6s %8s %9s %9s %9s %9s %9s %9s %9s\n" book pages file_MB ORIGINAL ORIG-T SMART SMART-T POSITION POS-T mutool
for pdf in "$@"; do
  pages=$(/usr/bin/pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
  line=$(printf "%-28s %6s %8.1f" "$(basename "$pdf")" "$pages" "$(wc -c < "$pdf" | awk '{ print $1 / 1048576 }')")
  for mode in ORIGINAL SMART POSITION; do
    line="$line $(printf "%9s" "$(peak "$vorbix" "$pdf" "$work/out.txt" "-O$mode")")"
    line="$line $(printf "%9s" "$(peak "$vorbix" "$pdf" -T "-O$mode")")"
  done
  line="$line $(printf "%9s" "$(peak /usr/bin/mutool draw -q -F txt -o "$work/mutool.txt" "$pdf")")"
  echo "$line"
done
