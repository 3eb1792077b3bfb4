#!/bin/sh
# Makes the encrypted and rewritten test files under tests/fixtures/ from the plain files
# committed beside them (see tests/fixtures/README.md). Encryption draws fresh salts and keys,
# so every run gives new bytes; the tests check only what the files decrypt to.
# Usage: sh tools/make-fixtures.sh   (from the source tree; needs qpdf and ghostscript)
set -e
cd "$(dirname "$0")/../tests/fixtures"

# qpdf answers 3 for warnings; the file is still written.
run_qpdf() {
  qpdf "$@" || [ $? -eq 3 ]
}

# security/: object streams off and streams uncompressed, so that every value can be read in place.
secure() {
  out=$1
  shift
  run_qpdf --allow-weak-crypto --object-streams=disable --compress-streams=n --encrypt "$@" -- \
    security/plain.pdf "security/$out"
}
secure rc4-40.pdf user owner 40
secure rc4-128.pdf user owner 128 --use-aes=n
secure rc4-128-v4.pdf user owner 128 --use-aes=n --force-V4
secure aes-128.pdf user owner 128 --use-aes=y
secure aes-128-clear-metadata.pdf user owner 128 --use-aes=y --cleartext-metadata
secure aes-256-r5.pdf user owner 256 --force-R5
secure aes-256-r6.pdf user owner 256
secure aes-256-print-none.pdf user owner 256 --print=none
secure empty-user-rc4-40.pdf "" owner 40
secure empty-user-aes-128.pdf "" owner 128 --use-aes=y
secure empty-user-aes-256-r5.pdf "" owner 256 --force-R5
secure empty-user-aes-256-r6.pdf "" owner 256
secure latin-rc4-128.pdf "café" "über" 128 --use-aes=n
secure unicode-aes-256-r5.pdf "pässwörd" "Ωwner€" 256 --force-R5
secure unicode-aes-256-r6.pdf "pässwörd" "Ωwner€🔑" 256
secure long-aes-128.pdf "$(printf 'u%.0s' $(seq 32))" owner 128 --use-aes=y
secure long-aes-256.pdf "$(printf 'u%.0s' $(seq 127))" owner 256
for bits in 40 56; do
  gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOwnerPassword=owner -sUserPassword=user \
    -dEncryptionR=3 -dKeyLength=$bits -sOutputFile=security/gs-rc4-r3-$bits.pdf security/plain.pdf
done

# locked/: each encryption with and without object streams.
for streams in disable generate; do
  suffix=""
  [ $streams = generate ] && suffix="-objstm"
  lock() {
    out=$1
    shift
    run_qpdf --allow-weak-crypto --object-streams=$streams --encrypt "$@" -- locked/plain.pdf "locked/$out$suffix.pdf"
  }
  lock rc4-40 user owner 40
  lock rc4-128 user owner 128 --use-aes=n
  lock aes-128 user owner 128 --use-aes=y
  lock aes-256-r5 user owner 256 --force-R5
  lock aes-256-r6 user owner 256
  lock empty-user-aes-256 "" owner 256
  lock latin-aes-256 "päss" owner 256
  lock latin-aes-128 "päss" owner 128 --use-aes=y
done
# A writer of the older convention: the AES-256 password as its Windows-1252 bytes.
run_qpdf --allow-weak-crypto --object-streams=disable --password-mode=bytes --encrypt "$(printf 'p\344ss')" owner 256 \
  -- locked/plain.pdf locked/cp1252-aes-256.pdf

# driver/: the files the command-line password tests open.
drive() {
  out=$1
  shift
  run_qpdf --allow-weak-crypto --encrypt "$@" -- driver/plain.pdf "driver/$out"
}
drive aes-256.pdf user owner 256
drive empty-user-aes-256.pdf "" owner 256
drive latin-aes-256.pdf "päss" owner 256
drive rc4-128.pdf user owner 128 --use-aes=n
drive rc4-40.pdf user owner 40
# Twenty blank pages for the usage text's own example.
run_qpdf --allow-weak-crypto --encrypt "M#ngo5ky" owner 256 -- driver/pages20.pdf driver/usage-example-aes-256.pdf

# variants/: the same three pages in qpdf's other file structures.
run_qpdf --object-streams=generate variants/plain.pdf variants/objstm.pdf
run_qpdf --linearize variants/plain.pdf variants/linearized.pdf
run_qpdf --object-streams=generate --linearize variants/plain.pdf variants/objstm-linearized.pdf
run_qpdf --qdf variants/plain.pdf variants/qdf.pdf
run_qpdf --object-streams=generate --compress-streams=y --stream-data=compress variants/plain.pdf \
  variants/objstm-compressed.pdf
