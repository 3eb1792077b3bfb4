#!/bin/sh
# Installs, when missing, the Debian packages the build needs and those named as arguments
# (the Makefile names the test packages for `make test`, clang for `make fuzz`).
# Runs apt-get as root (directly, or through sudo when available).
set -e
need=""
for pkg in g++ cmake make zlib1g-dev "$@"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || need="$need $pkg"
done
[ -z "$need" ] && exit 0
echo "Installing:$need"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y --no-install-recommends $need || { $SUDO apt-get update && $SUDO apt-get install -y --no-install-recommends $need; }
