#!/usr/bin/env bash
# Each program given must make itself non-dumpable (no core file with a password in it) as the
# first thing it does: started without arguments, it still does so before it gives up.
set -uo pipefail
if ! command -v strace >/dev/null; then
    echo "strace is missing (scripts/debian-packages.txt)"
    exit 77
fi
failed=0
for program in "$@"; do
    # No display and no arguments: every program ends at once, after its first steps.
    trace=$(DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM= timeout 20 \
        strace -f -qq -e trace=prctl -o /dev/stdout "$program" </dev/null 2>/dev/null)
    if grep -q "PR_SET_DUMPABLE, SUID_DUMP_DISABLE" <<<"$trace"; then
        echo "ok: $(basename "$program")"
    else
        echo "FAILED: $(basename "$program") stays dumpable"
        failed=1
    fi
done
exit $failed
