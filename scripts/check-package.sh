#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian package on a fresh Debian 12 (minbase) in a chroot and runs both programs
# there, as a new user's machine would: only what the package's Depends pull in is present.
# Needs root. The base system is the tarball that fresh-debian-check keeps (or a new one).
#
#   scripts/check-package.sh [PACKAGE.deb]     (default: build/epidemic-sim_*.deb)
set -euo pipefail
cd "$(dirname "$0")/.."
deb=${1:-$(ls build/epidemic-sim_*.deb 2>/dev/null | tail -n 1)}
[ -f "$deb" ] || { echo "no package; build it: (cd build && cpack -G DEB)" >&2; exit 2; }
cache=/var/cache/fresh-debian/bookworm-minbase.tar

root=$(mktemp -d /tmp/check-package.XXXX)
cleanup() {
  for m in dev/shm dev/pts dev proc; do
    if mountpoint -q "$root/$m"; then umount -R -l "$root/$m"; fi
  done
  # Never remove anything while a host file system is still mounted inside.
  if grep -q " $root/" /proc/mounts; then echo "mounts remain under $root; left in place" >&2; return; fi
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

if [ -f "$cache" ]; then
  tar -xf "$cache" -C "$root"
else
  command -v debootstrap >/dev/null ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
  debootstrap --variant=minbase bookworm "$root" >/dev/null
fi
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
cp "$deb" "$root/tmp/"
mount -t proc proc "$root/proc"; mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"; mount --bind /dev/shm "$root/dev/shm"

echo "fresh Debian 12 chroot; installing $(basename "$deb")"
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  DEBIAN_FRONTEND=noninteractive deb="/tmp/$(basename "$deb")" bash -euo pipefail -c '
apt() { apt-get -q -o APT::Sandbox::User=root "$@" >/dev/null; }
apt update
apt install -y --no-install-recommends "$deb"
# Before anything else is installed: every library the programs need came with the package.
if ldd /usr/bin/epidemic_sim /usr/bin/epidemic_batch | grep "not found"; then exit 1; fi
epidemic_batch --version
epidemic_batch --seed 7 --population 2000 --arena-size 120 --max-days 40 --csv /tmp/days.csv
echo "CSV rows: $(($(wc -l </tmp/days.csv) - 1))"
# An ensemble runs workers and draws its bands with gnuplot, which the package pulls in.
epidemic_batch --seed 3 --population 1000 --arena-size 100 --max-days 20 --runs 2 \
  --vary infection-rate=10,20 --out /tmp/ensemble --quiet
test -s /tmp/ensemble/summary.csv
test -s /tmp/ensemble/bands.png
echo "ensemble: $(ls /tmp/ensemble | tr "\n" " ")"
test -s /usr/share/man/man1/epidemic_batch.1.gz
test -s /usr/share/applications/org.epidemic_sim.simulator.desktop
test -s /usr/share/icons/hicolor/scalable/apps/epidemic_sim.svg
# The simulator needs a display; an X server comes only for this check.
apt install -y --no-install-recommends xvfb xauth
xvfb-run -a bash -c "epidemic_sim & sleep 5
  kill -0 \$! || { wait \$!; echo \"epidemic_sim ended early (status \$?)\" >&2; exit 1; }
  kill \$!; wait \$! || true"
echo "epidemic_sim was still running after 5 seconds"
'
echo "package installs and runs on a fresh Debian 12"
