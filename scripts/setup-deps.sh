#!/bin/sh
# Installs the Debian packages the build, the tests and the demo need, when
# they are missing.  Safe to run again.
set -eu

PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 libqt6test6 \
libgl-dev libhidapi-dev libudev-dev umockdev libumockdev-dev xvfb xauth clang-14 clang-format-14 libclang-rt-14-dev \
dpkg-dev file lintian appstream desktop-file-utils"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" != 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q || true
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
