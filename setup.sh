#!/usr/bin/env bash
# Plimo's one set-up script for a Debian 12 machine.
#   ./setup.sh run    install what is missing, build, start the editor
#   ./setup.sh test   install what is missing, build, run every test
# Both are idempotent: a second run installs nothing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6printsupport6 libjpeg-dev libbenchmark-dev librnp-dev zlib1g-dev poppler-utils
  fonts-dejavu-core
  python3 xvfb xauth xdotool x11-utils x11-xserver-utils xclip imagemagick gnupg
  clang libclang-rt-14-dev
  desktop-file-utils shared-mime-info libglib2.0-bin
  help2man dpkg-dev file lintian appstream bash-completion man-db groff-base
  qt6-l10n-tools qt6-translations-l10n
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
  cmake --build "$dir" -j2
}

case "${1:-}" in
  run)
    install_missing
    build build
    # The editor keeps plimo.dat and reads plimo-help.txt in its current folder: the help text
    # in the user's language when Plimo has it.
    workdir="${PLIMO_WORKDIR:-${XDG_DATA_HOME:-$HOME/.local/share}/plimo}"
    mkdir -p "$workdir"
    language=${LANGUAGE:-${LC_ALL:-${LC_MESSAGES:-${LANG:-}}}}
    help=resources/plimo-help.${language%%[:_.@-]*}.txt
    [ -f "$help" ] || help=resources/plimo-help.txt
    [ -f "$workdir/plimo-help.txt" ] || cp "$help" "$workdir/plimo-help.txt"
    cd "$workdir"
    exec "$OLDPWD/build/plimo"
    ;;
  test)
    install_missing
    build build
    echo "-- installing and the normal build took $SECONDS s"
    tests/run_all.sh build
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
