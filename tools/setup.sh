#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, builds Torvex and then either
# starts it ("run") or runs every test ("test").
set -euo pipefail
mode=${1:-run}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TORVEX_BUILD_DIR:-$here/build}

packages=(build-essential cmake ninja-build pkg-config git
          qt6-base-dev libjpeg62-turbo-dev libcups2-dev libudev-dev libdrm-dev libfontconfig1-dev libicu-dev udev nlohmann-json3-dev
          libgtest-dev xvfb xauth fonts-dejavu-core fonts-wine
          cups-daemon cups-client cups poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

case "$mode" in
  run)
    if [ -x "$build/app/torvex-no" ]; then
      exec "$build/app/torvex-no"
    fi
    exec "$build/tools/torvex-report"
    ;;
  test)
    export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
    chmod 700 "$XDG_RUNTIME_DIR"
    cd "$build"
    exec ctest --output-on-failure -j"$(nproc)"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
