#!/usr/bin/env bash
# Sets up a Debian 12 machine for Vorla and builds it, then runs the tests or the program.
#   ./vorla.sh run                 install packages, build, start Vorla with the default skin
#   ./vorla.sh demo                the same, with a private Dovecot on 127.0.0.1 holding sample mail
#                                  and an SMTP sink printing the replies sent
#   ./vorla.sh test [--sanitize]   install packages, build, run every test
#   ./vorla.sh build               install packages and build only
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mode="${1:-test}"
shift || true
sanitize=OFF
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=ON ;;
    *) echo "unknown option: $arg" >&2; exit 64 ;;
  esac
done

install_packages() {
  mapfile -t packages < <(grep -v '^#' "$here/scripts/debian-packages.txt" | grep -v '^$')
  missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y -o DPkg::Lock::Timeout=600 "${missing[@]}"
}

build_dir="$here/build"
[ "$sanitize" = ON ] && build_dir="$here/build-sanitize"

build() {
  # A compiler cache, where the machine has one, makes rebuilds of a fresh checkout quick.
  launcher=()
  if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$here" -B "$build_dir" -DVORLA_SANITIZE="$sanitize" "${launcher[@]}"
  cmake --build "$build_dir" -j"$(nproc)"
}

case "$mode" in
  build)
    install_packages
    build
    ;;
  test)
    install_packages
    build
    export PATH="$PATH:/usr/sbin:/sbin"
    ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
    ;;
  run)
    install_packages
    build
    "$here/scripts/run.sh" "$build_dir"
    ;;
  demo)
    install_packages
    build
    "$here/scripts/demo.sh" "$build_dir"
    ;;
  *)
    echo "usage: $0 run | demo | test [--sanitize] | build" >&2
    exit 64
    ;;
esac
