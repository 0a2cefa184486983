#!/bin/sh
# The Debian package of a build: readable, with computed dependencies, the man page and no
# lintian errors. Usage: deb_test.sh <packages folder>   Exit 77 (skipped) when not built.
set -eu
deb=$(ls "$1"/vellmar-launcher_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "skipped: no Debian package in $1 (scripts/package)"; exit 77; }
info=$(dpkg-deb --info "$deb")
echo "$info" | grep -q '^ Depends: .*libqt6widgets6' || { echo "FAIL: no computed Depends"; echo "$info"; exit 1; }
contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/autorun ./usr/libexec/vellmar-launcher/autorun \
            ./usr/libexec/vellmar-launcher/libunrar.so ./usr/share/man/man1/autorun.1.gz \
            ./usr/libexec/vellmar-launcher/data/autorun.xml; do
    echo "$contents" | grep -q " $path" || { echo "FAIL: $path is not in the package"; exit 1; }
done
lintian --fail-on error --tag-display-limit 0 "$deb"
