#!/bin/sh
# Installs the Debian packages the build, the tests and the demo need, when missing.
# Runs apt-get as root (directly, or through sudo when available).
set -e
need=""
# groff-base and parallel: the manual page's tests lint the page and run its many-files recipes.
for pkg in g++ cmake make pkg-config libgtest-dev zlib1g-dev libfontconfig-dev fontconfig fonts-liberation2 \
    qpdf ghostscript poppler-utils \
    groff-base parallel "$@"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || need="$need $pkg"
done
[ -z "$need" ] && exit 0
echo "Installing:$need"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y --no-install-recommends $need || { $SUDO apt-get update && $SUDO apt-get install -y --no-install-recommends $need; }
