#!/bin/sh
# Sets up, builds and starts MIDI Zembrik Setup.  When no box is plugged in,
# the program starts with a virtual box (a real /dev/hidraw node under
# umockdev); options such as --model kq --firmware 1.8 --console wii
# --no-midi-out choose that box.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh >&2
cmake --preset default >/dev/null
cmake --build --preset default --target midizembrik-setup zembrik-demo

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: run this from a desktop session, or under xvfb-run." >&2
    exit 1
fi

real_box=""
for d in /sys/bus/hid/devices/*; do
    case "$(basename "$d")" in
        *:12BA:0210.* | *:12BA:0120.* | *:1BAD:3110.* | *:1BAD:0120.* | *:1BAD:0005.*) real_box="$d" ;;
    esac
done 2>/dev/null

if [ -n "$real_box" ]; then
    exec build/shell/midizembrik-setup
fi
exec umockdev-wrapper build/emulator/zembrik-demo --program build/shell/midizembrik-setup "$@"
