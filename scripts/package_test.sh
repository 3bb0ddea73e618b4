#!/usr/bin/env bash
# CI, as root: builds the Debian package from a built tree, installs it with apt, starts the
# installed vorla under its own Xvfb as a plain user (nobody) with an empty home folder, checks
# that it creates ~/.config/vorla/, shows its window, ends on SIGTERM and leaves a complete
# "Vorla.ini" there, then removes the package. Every wait is bounded.
#   scripts/package_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:?usage: scripts/package_test.sh BUILD_DIR}" && pwd)"
export PATH="$PATH:/usr/sbin:/sbin"
export DEBIAN_FRONTEND=noninteractive
[ "$(id -u)" -eq 0 ] || { echo "package_test.sh installs a package: run it as root" >&2; exit 1; }
if dpkg-query -W -f='${Status}' vorla 2>/dev/null | grep -q 'install ok installed'; then
    echo "a vorla package is installed already; not touching it" >&2
    exit 1
fi

user=nobody
uid="$(id -u "$user")"
gid="$(id -g "$user")"
work="$(mktemp -d /tmp/vorla-package-XXXXXX)"
chmod 755 "$work"
xvfb_pid=""
vorla_pid=""
installed=""
cleanup() {
    [ -n "$vorla_pid" ] && kill -KILL "$vorla_pid" 2>/dev/null && wait "$vorla_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    if [ -n "$installed" ]; then
        timeout 300 apt-get remove -y --purge -o DPkg::Lock::Timeout=120 vorla >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package test: $*" >&2
    [ -f "$work/vorla.log" ] && sed 's/^/  vorla: /' "$work/vorla.log" >&2
    exit 1
}

echo "== building the package"
(cd "$build" && timeout 1200 cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/deb/vorla_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no vorla_*.deb"
dpkg-deb -f "${debs[0]}" Depends

echo "== installing ${debs[0]##*/}"
timeout 600 apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${debs[0]}" \
    >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt could not install the package"; }
installed=1
[ -x /usr/bin/vorla ] || fail "/usr/bin/vorla is missing"
# One version: the package's is the one the help page shows.
version="$(dpkg-deb -f "${debs[0]}" Version)"
grep -q "<p>Version $version</p>" /usr/lib/vorla/vrhelp.html ||
    fail "the help page does not show the package's version $version"

display=""
for n in $(seq 150 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display="$n"
        break
    fi
done
[ -n "$display" ] || fail "no free X display number"
Xvfb ":$display" -noreset -screen 0 640x400x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done
[ -e "/tmp/.X11-unix/X$display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }

home="$work/home"
runtime="$work/runtime"
mkdir -m 700 "$home" "$runtime"
chown "$uid:$gid" "$home" "$runtime"

echo "== starting /usr/bin/vorla as $user with the empty home $home"
env -i PATH=/usr/bin:/bin HOME="$home" USER="$user" LOGNAME="$user" DISPLAY=":$display" \
    XDG_RUNTIME_DIR="$runtime" \
    setpriv --reuid="$uid" --regid="$gid" --clear-groups /usr/bin/vorla >"$work/vorla.log" 2>&1 &
vorla_pid=$!

settings="$home/.config/vorla"
shown=""
for _ in $(seq 100); do
    kill -0 "$vorla_pid" 2>/dev/null || fail "vorla ended by itself"
    # The main window carries the program's class ("vorla" "Vorla"); Qt's helper windows do not.
    window="$(DISPLAY=":$display" xwininfo -root -children 2>/dev/null |
        awk '/"Vorla": \("vorla" "Vorla"\)/ { print $1; exit }')"
    if [ -f "$settings/Vorla.ini" ] && [ -n "$window" ] &&
        DISPLAY=":$display" xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable'; then
        shown=1
        break
    fi
    sleep 0.2
done
[ -n "$shown" ] || fail "no Vorla window with its settings folder within 20 s"
[ "$(stat -c '%a %u' "$settings")" = "700 $uid" ] ||
    fail "$settings is $(stat -c '%a owned by %u' "$settings"), not 700 owned by $user"
[ -z "$(ls -A /usr/lib/vorla | grep -v -x -e vorla -e Vorla.ini -e vrhelp.html -e skins)" ] ||
    fail "vorla wrote into its program folder"

echo "== ending vorla with SIGTERM"
kill -TERM "$vorla_pid"
ended=""
for _ in $(seq 100); do
    if ! kill -0 "$vorla_pid" 2>/dev/null; then
        ended=1
        break
    fi
    sleep 0.1
done
[ -n "$ended" ] || fail "vorla still runs 10 s after SIGTERM"
status=0
wait "$vorla_pid" || status=$?
vorla_pid=""
[ "$status" -eq 0 ] || fail "vorla ended with status $status"

ini="$settings/Vorla.ini"
missing=""
for key in current_skin autorun autocheck autoconnect header_only ontop minutes posX posY \
           memo_posX memo_posY playsnd wavsnd icon_tray run_my_client my_mail_client reset \
           skin_dir RAS_connect RAS_num filter hidden srv_news speed min_scroll readlg nblg \
           vrmail smtphost smtpport sendorg confirm_delete; do
    grep -q "^$key *=" "$ini" || missing="$missing $key"
done
[ -z "$missing" ] || fail "Vorla.ini lacks:$missing"
grep -q '^confirm_delete =1'$'\r''$' "$ini" ||
    fail "a first start does not ask before deleting: $(grep confirm_delete "$ini")"
grep -q '^use_keyring =1'$'\r''$' "$ini" ||
    fail "a first start does not keep passwords in the keyring: $(grep use_keyring "$ini")"
grep -q '^current_skin = /usr/lib/vorla/skins/default/'$'\r''$' "$ini" ||
    fail "current_skin does not name the installed skin: $(grep current_skin "$ini")"
grep -q '^skin_dir = /usr/lib/vorla/skins'$'\r''$' "$ini" ||
    fail "skin_dir does not name the installed skins: $(grep skin_dir "$ini")"

echo "== removing the package"
timeout 300 apt-get remove -y --purge -o DPkg::Lock::Timeout=120 vorla >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt could not remove the package"; }
installed=""
[ ! -e /usr/bin/vorla ] && [ ! -e /usr/lib/vorla ] || fail "files of the package stay behind"
echo "package test: passed"
