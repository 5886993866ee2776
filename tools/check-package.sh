#!/usr/bin/env bash
# Checks the Debian package on a clean Debian 12 root: apt installs it with
# what it needs, the programs start, and purging it leaves no file of Torvex
# behind. Needs root, debootstrap and the Debian archive.
#
#   bash tools/check-package.sh build/torvex_0.1.0_amd64.deb [chroot folder]
set -euo pipefail
deb=$(realpath "$1")
root=${2:-$(mktemp -d /tmp/torvex-root.XXXXXX)}
[ -x "$root/bin/sh" ] || debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
cp /etc/resolv.conf "$root/etc/resolv.conf"
mkdir -p "$root/tmp/pkg" && cp "$deb" "$root/tmp/pkg/"
mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT
chroot "$root" sh -ec '
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq /tmp/pkg/*.deb >/dev/null
  torvex-report --topic CPU >/dev/null
  torvex-report --machine /usr/share/torvex/machines/win98se-pc >/dev/null
  # Without a display an edition prints the console report.
  torvex-no >/dev/null 2>&1
  # With one, the window stays open until it is closed.
  set +e; QT_QPA_PLATFORM=offscreen timeout 5 torvex-no >/dev/null 2>&1; rc=$?; set -e
  [ "$rc" -eq 124 ] || { echo "the window did not stay open (exit $rc)"; exit 1; }
  apt-get purge -y -qq torvex >/dev/null
  left=$(find / -xdev -iname "*torvex*" -not -path "/tmp/*" 2>/dev/null)
  [ -z "$left" ] || { echo "left behind:"; echo "$left"; exit 1; }
  echo "package installs, runs and is removed cleanly"
'
