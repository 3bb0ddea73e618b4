#!/usr/bin/env bash
# Starts the built program from the build's program folder (./vorla.sh run).
#   scripts/run.sh BUILD_DIR
set -euo pipefail
build="${1:?usage: scripts/run.sh BUILD_DIR}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "vorla needs a desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set" >&2
    exit 1
fi
exec "$build/program/vorla"
