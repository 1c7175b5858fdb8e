#!/usr/bin/env bash
# Runs the test suite on Debian 13 (trixie, Qt 6.8) from a Debian 12 machine
# (or any Debian): makes a trixie root with debootstrap from the Debian
# archive this machine's apt already uses, copies the checkout into it and
# runs scripts/test.sh there as root, as on a Debian 13 machine. Arguments go
# to ctest, as with scripts/test.sh. Needs root (debootstrap, mounts, chroot).
#
# The root is kept at ${NIMBREL_DEBIAN13_ROOT:-/var/tmp/nimbrel-debian13} and
# reused, with its installed packages and its build; a root whose making did
# not finish has no stamp file and is made anew.
#
# The suite runs in a network namespace of its own with only loopback, as
# everything it serves and fetches is on this machine; the packages are
# installed (by scripts/install-deps.sh) before that, with the network.
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$(pwd)

root=${NIMBREL_DEBIAN13_ROOT:-/var/tmp/nimbrel-debian13}
stamp="$root/.nimbrel-root-complete"
inside=/root/nimbrel   # the checkout's copy in the root; its build/ stays between runs
suite=trixie

[ "$(id -u)" -eq 0 ] || { echo "test-debian13: needs root (debootstrap, mounts, chroot)" >&2; exit 1; }

# --- the archive this machine's apt uses -----------------------------------

# Prints "main URI" and "security URI" lines from the host's apt sources
# (deb822 .sources files or the one-line sources.list).
host_archives() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
         { uri = ""; suites = ""
           for (i = 1; i <= NF; i++) {
             if ($i ~ /^URIs:/) { uri = $i; sub(/^URIs:[ \t]*/, "", uri); sub(/[ \t].*/, "", uri) }
             if ($i ~ /^Suites:/) { suites = $i }
           }
           if (uri == "") next
           if (suites ~ /-security/) print "security " uri; else print "main " uri }' "$f"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -E -n 's/^deb[ \t]+(\[[^]]*\][ \t]+)?([^ \t]+)[ \t]+([^ \t]+).*/\2 \3/p' /etc/apt/sources.list |
      awk '{ if ($2 ~ /-security|\/updates/) print "security " $1; else print "main " $1 }'
  fi
}
archive=$(host_archives | awk '$1 == "main" { print $2; exit }')
security=$(host_archives | awk '$1 == "security" { print $2; exit }')
[ -n "$archive" ] || { echo "test-debian13: no Debian archive found in this machine's apt sources" >&2; exit 1; }
archive=${archive%/}
security=${security%/}

# --- mounts ------------------------------------------------------------------

binds=(proc sys dev dev/pts dev/shm)
mounted() { findmnt -rn --mountpoint "$1" >/dev/null 2>&1; }
unmount_all() {
  local i
  for ((i = ${#binds[@]} - 1; i >= 0; i--)); do
    if mounted "$root/${binds[i]}"; then
      umount "$root/${binds[i]}" 2>/dev/null || umount -l "$root/${binds[i]}" || true
    fi
  done
}
trap unmount_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# A run that was killed may have left its mounts.
unmount_all

# --- the root ----------------------------------------------------------------

if [ ! -f "$stamp" ]; then
  command -v debootstrap >/dev/null || {
    echo "test-debian13: installing debootstrap"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
  }
  if [ -e "$root" ]; then
    echo "test-debian13: $root is not a complete root; making it anew"
    # (never across a mount point: the binds are gone, but stay on the safe side)
    rm -rf --one-file-system "$root"
  fi
  mkdir -p "$root"
  echo "test-debian13: making a Debian 13 root in $root from $archive"
  started=$SECONDS
  # iproute2: to bring up loopback in the suite's own network namespace;
  # ca-certificates where the archive is reached over https.
  include=iproute2
  case "$archive $security" in *https://*) include+=,ca-certificates ;; esac
  debootstrap --variant=minbase --include="$include" "$suite" "$root" "$archive"
  rm -f "$root/etc/apt/sources.list"
  {
    printf 'Types: deb\nURIs: %s\nSuites: %s %s-updates\nComponents: main\n' "$archive" "$suite" "$suite"
    if [ -n "$security" ]; then
      printf '\nTypes: deb\nURIs: %s\nSuites: %s-security\nComponents: main\n' "$security" "$suite"
    fi
  } >"$root/etc/apt/sources.list.d/debian.sources"
  # Packages installed in the root start no services.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod 755 "$root/usr/sbin/policy-rc.d"
  touch "$stamp"
  echo "test-debian13: root made in $((SECONDS - started)) s"
fi

for b in "${binds[@]}"; do
  mkdir -p "$root/$b"
  case $b in
    proc) mount -t proc proc "$root/proc" ;;
    *) mount --bind "/$b" "$root/$b" ;;
  esac
done
[ -f /etc/resolv.conf ] && cp -L /etc/resolv.conf "$root/etc/resolv.conf"

# --- the checkout ------------------------------------------------------------

# The files git knows (tracked, and new ones it does not ignore) as they are in
# the working tree; the copy's build directories stay, so a rerun builds little.
mkdir -p "$root$inside"
find "$root$inside" -mindepth 1 -maxdepth 1 ! -name 'build*' -exec rm -rf {} +
git -C "$checkout" ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  tar --null -T - -cf - | tar -xf - -C "$root$inside"

# --- the suite -----------------------------------------------------------------

run_inside() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 LC_ALL=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin CI="${CI:-}" NIMBREL_DISPLAY_FROM=199 "$@"
}
echo "test-debian13: installing what the suite needs (Debian 13)"
run_inside bash -c "cd $inside && scripts/install-deps.sh --test"
dpkg_line() { run_inside dpkg-query -W -f='${Package} ${Version}\n' "$@" 2>/dev/null | tr '\n' ' '; }
echo "test-debian13: $(dpkg_line qt6-base-dev qt6-webengine-dev)"
echo "test-debian13: scripts/test.sh $* (loopback-only network)"
run_inside unshare -n bash -c 'ip link set lo up && cd "$0" && exec scripts/test.sh "$@"' "$inside" "$@"
