#!/bin/sh
# Times vorbix in its three output types, into a file and with -T, against `pdftotext` and
# `mutool draw -F txt` on one PDF, and reports each one's best time of RUNS (elapsed and
# CPU), its peak memory (/usr/bin/time's maximum resident size), the ratios to mutool and the
# targets: CPU time at most a third of mutool's for ORIGINAL and 0.6 of it for SMART and
# POSITION; peak memory at most 1.5 x the file size + 16 MB in every mode. CPU time is the
# fairer figure on a busy machine.
# Usage: bench/compare_tools.sh FILE.pdf [RUNS]    (VORBIX=path overrides the binary)
set -e
pdf=${1:?usage: compare_tools.sh FILE.pdf [RUNS]}
runs=${2:-3}
vorbix=${VORBIX:-build-bench/vorbix}
[ -x "$vorbix" ] || vorbix=build/vorbix
for tool in "$vorbix" /usr/bin/pdftotext /usr/bin/mutool /usr/bin/time; do
  [ -x "$tool" ] || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# measure NAME COMMAND...: one line "NAME elapsed user system peak_kb" per run into runs.
measure() {
  name=$1
  shift
  r=0
  while [ "$r" -lt "$runs" ]; do
    /usr/bin/time -f "$name %e %U %S %M" -o "$work/time" "$@" > /dev/null 2>&1 || { echo "$name failed" >&2; exit 1; }
    cat "$work/time" >> "$work/runs"
    r=$((r + 1))
  done
}

for mode in ORIGINAL SMART POSITION; do
  measure "$mode" "$vorbix" "$pdf" "$work/vorbix.txt" "-O$mode"
  measure "$mode-T" "$vorbix" "$pdf" -T "-O$mode"
done
measure pdftotext /usr/bin/pdftotext "$pdf" "$work/pdftotext.txt"
measure mutool /usr/bin/mutool draw -q -F txt -o "$work/mutool.txt" "$pdf"

size=$(wc -c < "$pdf")
echo "$pdf: $(/usr/bin/pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}') pages, $size bytes, best of $runs runs"
awk -v size="$size" '
  { e = $2; c = $3 + $4; m = $5
    if (!($1 in E) || e < E[$1]) E[$1] = e
    if (!($1 in C) || c < C[$1]) C[$1] = c
    if (m > M[$1]) M[$1] = m
    if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
  END {
    printf "%-11s %10s %10s %10s %11s %9s\n", "tool", "elapsed_s", "cpu_s", "peak_MB", "elapsed/mu", "cpu/mu"
    for (i = 1; i <= n; i++) { t = order[i]
      printf "%-11s %10.2f %10.2f %10.1f %11.3f %9.3f\n", t, E[t], C[t], M[t] / 1024, E[t] / E["mutool"], C[t] / C["mutool"] }
    limit = (1.5 * size + 16 * 1048576) / 1024
    split("ORIGINAL SMART POSITION", modes, " ")
    share["ORIGINAL"] = 1 / 3; share["SMART"] = 0.6; share["POSITION"] = 0.6
    for (i = 1; i <= 3; i++) { t = modes[i]
      printf "target time: %-8s cpu %.2f s <= %.2f x mutool cpu = %.2f s: %s\n", t, C[t], share[t], share[t] * C["mutool"],
        (C[t] <= share[t] * C["mutool"]) ? "met" : "MISSED" }
    for (i = 1; i <= n; i++) { t = order[i]
      if (t == "mutool" || t == "pdftotext") continue
      printf "target memory: %-11s peak %d KB <= 1.5 x file + 16 MB = %d KB: %s\n", t, M[t], limit,
        (M[t] <= limit) ? "met" : "MISSED" }
  }' "$work/runs"
