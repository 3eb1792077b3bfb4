#!/bin/sh
# Builds the Debian package and checks it: the program and its manual page are in it,
# dependencies were computed from the linked libraries, and the packaged program runs.
# With --install it also installs the package with apt, uses it and purges it again,
# checking that nothing stays behind (this changes the machine: root only).
set -eu
cd "$(dirname "$0")/.."
make package
deb=$(ls -t build-release/vorbix_*_"$(dpkg --print-architecture)".deb | head -n 1)
echo "== $deb"
dpkg-deb --info "$deb"
contents=$(dpkg-deb --contents "$deb")
echo "$contents"
for path in ./usr/bin/vorbix ./usr/share/man/man1/vorbix.1.gz; do
  echo "$contents" | awk '{ print $6 }' | grep -qx "$path" || { echo "Missing from the package: $path"; exit 1; }
done
depends=$(dpkg-deb --field "$deb" Depends)
case "$depends" in
  *zlib1g*) ;;
  *) echo "The dependencies lack zlib1g: $depends"; exit 1 ;;
esac

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/vorbix" examples/sample.pdf -T >/dev/null
zcat "$root/usr/share/man/man1/vorbix.1.gz" | groff -ww -man -z

[ "${1:-}" = "--install" ] || exit 0
export DEBIAN_FRONTEND=noninteractive
apt-get install -y "./$deb"
[ "$(command -v vorbix)" = /usr/bin/vorbix ]
man -w vorbix
vorbix examples/sample.pdf -T >/dev/null
apt-get purge -y vorbix
for path in /usr/bin/vorbix /usr/share/man/man1/vorbix.1.gz; do
  [ ! -e "$path" ] || { echo "Left behind: $path"; exit 1; }
done
! dpkg -s vorbix >/dev/null 2>&1 || { echo "Still registered: vorbix"; exit 1; }
echo "Installed, used and removed cleanly."
