#!/bin/sh
# Builds the Debian package from a built tree (default build/) with CPack
# and checks it: lintian finds no errors, the AppStream metadata and the
# .desktop entry validate, and the contents are what an installed program
# needs.  Runs offline.  Usage: scripts/check-package.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}

rm -f "$build"/midizembrik-setup_*.deb
if ! log=$(cd "$build" && cpack -G DEB 2>&1); then
    printf '%s\n' "$log" >&2
    exit 1
fi
deb=$(ls "$build"/midizembrik-setup_*.deb)
echo "Checking $deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$root/DEBIAN"
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# lintian prints its tags (errors and warnings) and fails on an error; as
# root it adds a note that changes nothing.
status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
printf '%s\n' "$report" | grep -v 'running with root privileges' || true
[ "$status" = 0 ] || fail "lintian reports errors"

metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
for desktop in "$root"/usr/share/applications/*.desktop; do
    desktop-file-validate "$desktop" || fail "desktop-file-validate $(basename "$desktop")"
done

# What the installed program relies on.
for f in usr/bin/midizembrik-setup usr/lib/udev/rules.d/70-midizembrik.rules \
    usr/share/applications/midizembrik-setup.desktop \
    usr/share/icons/hicolor/scalable/apps/midizembrik-setup.svg \
    usr/share/doc/midizembrik-setup/copyright; do
    [ -e "$root/$f" ] || fail "missing /$f"
done
for px in 16 32 48; do
    [ -e "$root/usr/share/icons/hicolor/${px}x$px/apps/midizembrik-setup.png" ] || fail "missing ${px}px icon"
done
for program in "$root"/usr/bin/*; do
    name=$(basename "$program")
    [ -e "$root/usr/share/man/man1/$name.1.gz" ] || fail "no manual page for $name"
done
version=$(dpkg-deb -f "$deb" Version)
grep -q "<release version=\"$version\"" "$metainfo" ||
    fail "the metainfo has no release entry for version $version"
for script in postinst postrm; do
    grep -q 'udevadm control --reload-rules' "$root/DEBIAN/$script" || fail "$script does not reload the udev rules"
    grep -q '\[ -d /run/udev \]' "$root/DEBIAN/$script" || fail "$script does not check that udev runs"
done

[ "$failed" = 0 ] && echo "Package checks passed"
exit "$failed"
