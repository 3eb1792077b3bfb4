#!/bin/sh
# Makes the ghostscript font subsets under tests/fixtures/fonts/: ps2pdf embeds subsets of
# the URW fonts, as Type 1 (/FontFile) for PDF 1.1 and as CFF (/FontFile3) otherwise; qpdf
# extracts the decoded programs. gs-sans keeps the built-in encoding of its text; gs-recoded
# is a font re-encoded with codes 1, 2, 3 and 65. The Type 1 /Length1 and /Length2 values
# are printed; the tests use them.
set -e
out=$(cd "$(dirname "$0")/../tests/fixtures/fonts" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/t.ps" <<'PS'
%!PS
/NimbusSans-Regular findfont 12 scalefont setfont
72 700 moveto (Hello, World! "quotes") show
/NimbusRoman-Regular findfont dup length dict begin {1 index /FID ne {def} {pop pop} ifelse} forall
/Encoding 256 array def 0 1 255 {Encoding exch /.notdef put} for
Encoding 1 /A put Encoding 2 /quotedblleft put Encoding 3 /Euro put Encoding 65 /B put
currentdict end /Recoded exch definefont 12 scalefont setfont
72 650 moveto (\001\002\003A) show
showpage
PS
ps2pdf -dCompatibilityLevel=1.1 "$work/t.ps" "$work/t1.pdf"
ps2pdf "$work/t.ps" "$work/cff.pdf"
# The font programs by the font they belong to, whatever their object numbers.
program() {  # pdf, font name part, key
  qpdf --json "$1" | /usr/bin/python3 -c "
import json, sys
objects = json.load(sys.stdin)['qpdf'][1]
for key, obj in objects.items():
    value = obj.get('value')
    if isinstance(value, dict) and '$2' in str(value.get('/FontName', '')):
        ref = value['$3']
        print(ref.split()[0])
        lengths = objects['obj:' + ref]['stream']['dict']
        print('$2', '$3', lengths.get('/Length1'), lengths.get('/Length2'), file=sys.stderr)
"
}
qpdf --show-object="$(program "$work/t1.pdf" NimbusSans /FontFile)" --filtered-stream-data "$work/t1.pdf" > "$out/gs-sans.t1"
qpdf --show-object="$(program "$work/t1.pdf" NimbusRoman /FontFile)" --filtered-stream-data "$work/t1.pdf" > "$out/gs-recoded.t1"
qpdf --show-object="$(program "$work/cff.pdf" NimbusSans /FontFile3)" --filtered-stream-data "$work/cff.pdf" > "$out/gs-sans.cff"
qpdf --show-object="$(program "$work/cff.pdf" NimbusRoman /FontFile3)" --filtered-stream-data "$work/cff.pdf" > "$out/gs-recoded.cff"
