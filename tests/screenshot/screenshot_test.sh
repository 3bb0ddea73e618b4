#!/usr/bin/env bash
# Starts vorla with a skin under its own Xvfb, grabs the screen and checks it.
#   screenshot_test.sh BUILD_DIR SKIN [CROP.png]
# The screenshot stays in BUILD_DIR/tests/screenshot/screen-SKIN.png.
set -euo pipefail

build="$(cd "$1" && pwd)"
skin="$2"
crop="${3:-}"
program="$build/program"
out="$build/tests/screenshot"
mkdir -p "$out"
export PATH="$PATH:/usr/bin"

work="$(mktemp -d)"
xvfb_pid=""
vorla_pid=""
cleanup() {
    [ -n "$vorla_pid" ] && kill "$vorla_pid" 2>/dev/null && wait "$vorla_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

display=""
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display="$n"
        break
    fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }

# A white root window, so that the cut-away corners are told apart from a dark skin.
Xvfb ":$display" -noreset -wr -screen 0 640x400x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done

# A settings folder of its own, so the test writes nothing into the build's program folder.
home="$work/home"
mkdir "$home"
printf 'current_skin = %s/skins/%s/\r\nskin_dir = %s/skins\r\nposX = 40\r\nposY = 30\r\nspeed = 0\r\n' \
    "$program" "$skin" "$program" >"$home/Vorla.ini"
VORLA_HOME="$home" "$program/vorla" >"$work/vorla.log" 2>&1 &
vorla_pid=$!

shot="$out/screen-$skin.png"
ok=""
for _ in $(seq 40); do
    sleep 0.25
    kill -0 "$vorla_pid" 2>/dev/null || { cat "$work/vorla.log" >&2; echo "vorla ended early" >&2; exit 1; }
    "$build/tests/screenshot/vorla-grab-screen" "$shot" 2>/dev/null || continue
    if "$build/tests/screenshot/vorla-check-shot" "$shot" "$program/skins/$skin" 40 30 $crop 2>"$work/check.log"; then
        ok=1
        break
    fi
done
if [ -z "$ok" ]; then
    cat "$work/check.log" >&2
    exit 1
fi
echo "screenshot: $shot"
echo "1 passed, 0 failed"
