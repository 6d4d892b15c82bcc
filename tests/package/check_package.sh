#!/usr/bin/env bash
# Checks a built Debian package: exactly the files of the program folder (the executable, the
# README and every file of data/), the launcher, the menu entry, icon, metainfo and copyright; the
# dependencies the program needs at run time; and a menu entry and metainfo that validate.
set -euo pipefail
deb=$1
source_dir=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

expected=$( {
    echo "./usr/bin/zephkin -> ../lib/zephkin/zephkin"
    echo "./usr/lib/zephkin/zephkin"
    echo "./usr/lib/zephkin/README.md"
    (cd "$source_dir/data" && find . -type f | sed 's|^\.|./usr/lib/zephkin|')
    echo "./usr/share/applications/org.example.zephkin.desktop"
    echo "./usr/share/doc/zephkin/copyright"
    echo "./usr/share/icons/hicolor/scalable/apps/org.example.zephkin.svg"
    echo "./usr/share/metainfo/org.example.zephkin.metainfo.xml"
} | LC_ALL=C sort)
# dpkg-deb -c: permissions, owner, size, date, time, name; directories left out.
contents=$(dpkg-deb -c "$deb")
actual=$(echo "$contents" | grep -v '^d' | sed -E 's/^([^ ]+ +){5}//' | LC_ALL=C sort)
[ "$expected" = "$actual" ] ||
    fail "unexpected file list:$(diff <(echo "$expected") <(echo "$actual") | grep '^[<>]')"
echo "$contents" | grep -q '^-rwxr-xr-x root/root .* ./usr/lib/zephkin/zephkin$' ||
    fail "the program is not an executable owned by root"
odd=$(echo "$contents" | grep -Ev '^(drwxr-xr-x|-rwxr-xr-x|-rw-r--r--|lrwxrwxrwx) root/root ' || true)
[ -z "$odd" ] || fail "unusual permissions or owners: $odd"

depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
for package in libqt6widgets6 libqt6gui6 libqt6sql6-sqlite libpulse0 libasound2 fonts-dejavu-core \
               libxkbcommon0; do
    [[ ",$depends," =~ [\ ,]$package[\ ,\(] ]] || fail "Depends lacks $package: $depends"
done
[[ "$recommends" == *pulseaudio* ]] || fail "Recommends lacks a sound server: $recommends"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/org.example.zephkin.desktop"
appstreamcli validate --no-net --pedantic \
    "$unpacked/usr/share/metainfo/org.example.zephkin.metainfo.xml" >/dev/null ||
    fail "the metainfo does not validate"
echo "package $(basename "$deb"): $(echo "$actual" | wc -l) files, $(stat -c %s "$deb") bytes"
