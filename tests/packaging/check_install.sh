#!/usr/bin/env bash
# The program as a user installs it: the installation tree with its desktop file, metainfo,
# theme icons, images and udev rule; the Debian package with its control data; the installed
# tools run from the unpacked package.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAILED: $*"
  echo "0 passed, 1 failed"
  exit 1
}

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null
app=de.torvenkellmar.orva2usb
desktop-file-validate "$prefix/share/applications/$app.desktop" || fail "desktop file"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$app.metainfo.xml" > /dev/null ||
  fail "metainfo"
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/orva2usb.png
  [ -f "$icon" ] || fail "no ${size}x${size} theme icon"
done
for file in bin/orva2usb bin/orva-cli bin/orva-boxsim share/orva2usb/Images/Move.png \
            share/orva2usb/Images/TorvenIcon4848.ico lib/udev/rules.d/70-orva2usb.rules; do
  [ -e "$prefix/$file" ] || fail "$file not installed"
done
grep -q 'TAG+="uaccess"' "$prefix/lib/udev/rules.d/70-orva2usb.rules" || fail "udev rule"

(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/deb" > "$scratch/cpack.log") ||
  fail "cpack: $(cat "$scratch/cpack.log")"
deb=$(ls "$scratch"/deb/orva2usb_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for library in libwx libusb-1.0 libboost-serialization zlib1g; do
  grep -q "$library" <<< "$depends" || fail "Depends lacks $library: $depends"
done
dpkg-deb -x "$deb" "$scratch/root"
[ -f "$scratch/root/usr/share/applications/$app.desktop" ] || fail "package lacks the desktop file"
"$scratch/root/usr/bin/orva-cli" --help > /dev/null || fail "installed orva-cli --help"
"$scratch/root/usr/bin/orva-boxsim" --help > /dev/null || fail "installed orva-boxsim --help"
echo "1 passed, 0 failed"
