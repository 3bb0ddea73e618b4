#!/usr/bin/env bash
# Starts a Dovecot on 127.0.0.1 with a few sample messages and runs vorla on a settings folder
# whose account points at it, and an SMTP sink for the replies that prints what it receives
# (./vorla.sh demo). Dovecot and the sink stop when vorla ends.
#   scripts/demo.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:?usage: scripts/demo.sh BUILD_DIR}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "vorla needs a desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set" >&2
    exit 1
fi
export PATH="$PATH:/usr/sbin:/sbin"
exec /usr/bin/python3 "$here/demo.py" "$build/program"
