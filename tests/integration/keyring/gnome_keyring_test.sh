#!/usr/bin/env bash
# Account passwords in a real GNOME Keyring daemon on a private session bus: OK with the keyring
# box checked moves them in, where secret-tool finds them and no settings file holds them; OK
# with it cleared moves them back into Accounts.ini and deletes the items.
set -uo pipefail
config=$1
skins=$2
for tool in gnome-keyring-daemon dbus-run-session dbus-send secret-tool; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing (scripts/debian-packages.txt)"
        exit 77
    fi
done
if [ -z "${VORLA_IN_TEST_SESSION:-}" ]; then
    exec env VORLA_IN_TEST_SESSION=1 timeout 120 dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
keyring_pid=""
cleanup() {
    if [ -n "$keyring_pid" ]; then
        kill "$keyring_pid" 2>/dev/null
        wait "$keyring_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*"
    exit 1
}

export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_RUNTIME_DIR=$work/run
export XDG_CONFIG_HOME=$work/xdg
unset SECRET_BACKEND SECRET_FILE_TEST_PATH SECRET_FILE_TEST_PASSWORD
mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$work/settings"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'unlock' | gnome-keyring-daemon --foreground --unlock --components=secrets >/dev/null &
keyring_pid=$!
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
        grep -q true && break
    sleep 0.1
done

settings=$work/settings/
printf 'current_skin = %s/default\r\nskin_dir = %s\r\n' "$skins" "$skins" >"$settings/Vorla.ini"
lookup() { timeout 20 secret-tool lookup server pop.example.org user alice protocol pop3; }

out=$(printf 'menu 1\nset NAccount Home\nset HostTxt pop.example.org\nset UserName alice\nset Password s3cret-pw\nclick AddAcc\nmenu 0\nclick ChkKeyring\nok\n' |
    timeout 60 "$config" "$settings")
[ -z "$out" ] || fail "the move in printed: $out"
[ "$(lookup)" = "s3cret-pw" ] || fail "secret-tool does not find the password"
grep -q "^password_store = keyring" "$settings/Accounts.ini" || fail "Accounts.ini names no keyring"
if grep -rq "s3cret-pw" "$settings"; then
    fail "a settings file holds the password"
fi

out=$(printf 'click ChkKeyring\nok\n' | timeout 60 "$config" "$settings")
[ -z "$out" ] || fail "the move out printed: $out"
[ -z "$(lookup)" ] || fail "the item stays in the keyring"
if grep -q "password_store" "$settings/Accounts.ini"; then
    fail "Accounts.ini still names the keyring"
fi
echo "ok: passwords moved into GNOME Keyring and back"
