#!/usr/bin/env bash
# Runs a command the way a new user of a fresh Debian 12 machine would: in a minimal Debian 12 root
# (debootstrap, variant minbase, plus make and git, nothing else) holding a fresh clone of this
# checkout's HEAD at /work/main and a copy of ../shared beside it at /work/shared. The shell inside
# has no DISPLAY, a plain PATH and runs as root; only CI is passed through. A package that
# scripts/deps.sh forgets therefore fails here, although the developer's own machine has it.
#
#   scripts/fresh-debian.sh [COMMAND...]     default: make run && make test
#
# What the command leaves in /work/results inside comes back in $TOBRIN_FRESH_RESULTS (default
# out/fresh-debian/ in this checkout).
#
# The base root is kept as a tarball in $TOBRIN_FRESH_CACHE (default /var/cache/tobrin-fresh-root),
# outside the checkout, and made anew only when it is missing. Downloaded .deb files are kept there
# too, so a second run saves the download, not the installation. Each run unpacks the base into a
# new folder and removes it afterwards. The root runs in its own mount and PID namespaces, so its
# mounts never show outside and every process it leaves (an Xvfb, a Wine server) ends with it.
# Must run as root.
set -euo pipefail
root_of_checkout=$(cd "$(dirname "$0")/.." && pwd)
shared=$(cd "$root_of_checkout/../shared" 2>/dev/null && pwd -P || true)
cache=${TOBRIN_FRESH_CACHE:-/var/cache/tobrin-fresh-root}
mirror=${TOBRIN_FRESH_MIRROR:-http://deb.debian.org/debian}
base=$cache/bookworm-minbase-make-git.tar
results=${TOBRIN_FRESH_RESULTS:-$root_of_checkout/out/fresh-debian}
if [ $# -eq 0 ]; then set -- bash -c 'make run && make test'; fi

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-debian.sh: must run as root (debootstrap, chroot, mounts)" >&2
  exit 2
fi
command -v debootstrap >/dev/null || {
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
}

mkdir -p "$cache/apt-archives/partial"
if [ ! -s "$base" ]; then
  echo "fresh-debian.sh: making the base root $base"
  tmp=$(mktemp -d "$cache/base.XXXXXX")
  debootstrap --variant=minbase --include=make,git bookworm "$tmp" "$mirror" >"$tmp.log" 2>&1 || {
    tail -20 "$tmp.log" >&2
    rm -rf "$tmp" "$tmp.log"
    exit 1
  }
  # What a freshly installed machine lists: the release, its updates and its security archive.
  cat >"$tmp/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
  rm -rf "$tmp"/var/cache/apt/archives/*.deb "$tmp"/var/lib/apt/lists/*
  chmod 755 "$tmp"
  tar -C "$tmp" -cf "$base.part" . && mv "$base.part" "$base"
  rm -rf "$tmp" "$tmp.log"
fi

work=$(mktemp -d /var/tmp/tobrin-fresh.XXXXXX)
# The mounts live in the namespace below and end with it; a mount still showing here would make
# rm -rf reach the machine's own /dev or /sys, so then the folder is left.
cleanup() {
  if grep -q " $work/" /proc/self/mounts; then
    echo "fresh-debian.sh: $work still has mounts; left in place" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
tar -C "$work" -xf "$base"
# It becomes /, which every user (apt's _apt, the tests' nobody) must be able to enter; tar gave
# it the mode of the folder debootstrap filled, which mktemp made private.
chmod 755 "$work"
cp /etc/resolv.conf "$work/etc/resolv.conf"
mkdir -p "$work/work/results" "$results"
git clone -q --no-hardlinks "$root_of_checkout" "$work/work/main"
git -C "$work/work/main" checkout -q "$(git -C "$root_of_checkout" rev-parse HEAD)"
if [ -n "$shared" ]; then cp -R "$shared" "$work/work/shared"; fi

# Inside new namespaces: the machine's file systems, then the command as a login shell would run it.
# --kill-child makes the namespace's first process end, and the kernel every other one, if this
# script is stopped.
export FRESH_ROOT=$work FRESH_CACHE=$cache FRESH_RESULTS=$results CI_VALUE=${CI:-}
unshare --mount --pid --fork --kill-child bash -euo pipefail -c '
  mount --make-rprivate /
  mount -t proc proc "$FRESH_ROOT/proc"
  mount --rbind /sys "$FRESH_ROOT/sys"
  mount --rbind /dev "$FRESH_ROOT/dev"
  mount -t tmpfs -o mode=1777 shm "$FRESH_ROOT/dev/shm"
  mount --bind "$FRESH_CACHE/apt-archives" "$FRESH_ROOT/var/cache/apt/archives"
  mount --bind "$FRESH_RESULTS" "$FRESH_ROOT/work/results"
  vars=(HOME=/root USER=root LOGNAME=root SHELL=/bin/bash
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
  [ -n "$CI_VALUE" ] && vars+=(CI="$CI_VALUE")
  exec chroot "$FRESH_ROOT" /usr/bin/env -i "${vars[@]}" /bin/bash -lc "cd /work/main && exec \"\$@\"" bash "$@"
' bash "$@"
