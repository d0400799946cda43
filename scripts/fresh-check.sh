#!/usr/bin/env bash
# Runs CI as a new user's machine would: in a bare Debian 12 root (debootstrap's minbase variant) holding
# only the committed checkout, as root through chroot. The bare root is made once and kept as a tarball
# outside the checkout, so every run starts from it unchanged. Prints the last lines of CI's output and
# exits with CI's status.
# Needs root and network access to the Debian archive (for debootstrap and the setup script's apt-get).
# FRESH_CACHE sets the cache folder (default /var/cache/glimmock-fresh); FRESH_MIRROR the Debian mirror;
# JOBS, when set, is passed on to the build.
set -euo pipefail
checkout=$(cd "$(dirname "$0")/.." && pwd)
cache=${FRESH_CACHE:-/var/cache/glimmock-fresh}
mirror=${FRESH_MIRROR:-http://deb.debian.org/debian}
pristine=$cache/bookworm-minbase.tar
root=$cache/root
log=$cache/ci.log

[ "$(id -u)" -eq 0 ] || { echo "fresh-check.sh: needs root (debootstrap, mount and chroot)" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "fresh-check.sh: needs debootstrap (apt-get install debootstrap)" >&2; exit 1; }
mkdir -p "$cache"

# Unmounts everything under the root, deepest first; the root itself is never a mount.
unmount_root() {
  [ -d "$root" ] || return 0
  { findmnt -rn -o TARGET | grep -F "$root/" || true; } | sort -r | while read -r target; do
    umount -l "$target" || true
  done
}

make_pristine() {
  local bootstrap=$cache/bootstrap
  rm -rf --one-file-system "$bootstrap"
  echo "fresh-check: making a bare Debian 12 root with debootstrap (once)"
  debootstrap --variant=minbase bookworm "$bootstrap" "$mirror" > "$cache/debootstrap.log" 2>&1 \
    || { tail -n 20 "$cache/debootstrap.log"; exit 1; }
  tar -C "$bootstrap" --numeric-owner -cf "$pristine.part" .
  mv "$pristine.part" "$pristine"
  rm -rf --one-file-system "$bootstrap"
}

# The whole run is one function, read before it starts: the checkout may change while CI runs.
main() {
  [ -f "$pristine" ] || make_pristine

  # The previous run's root stays until now so that its build can be looked at.
  unmount_root
  rm -rf --one-file-system "$root"
  mkdir -p "$root"
  tar -C "$root" --numeric-owner -xpf "$pristine"
  trap unmount_root EXIT

  mkdir -p "$root/root/glimmock"
  git -C "$checkout" archive HEAD | tar -C "$root/root/glimmock" -xf -
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  # Package installs must not start services inside the root.
  printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"

  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --rbind /dev "$root/dev"
  mount --make-rslave "$root/dev"

  environment=(HOME=/root TERM=dumb LANG=C.UTF-8 CI=true PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
  [ -z "${JOBS:-}" ] || environment+=(JOBS="$JOBS")

  echo "fresh-check: running CI on $(git -C "$checkout" log -1 --format='%h %s') in $root (full log: $log)"
  status=0
  env -i "${environment[@]}" chroot "$root" /bin/bash -c 'cd /root/glimmock && bash .ci/run' > "$log" 2>&1 &
  ci=$!
  # Stage lines as they come, so a long run shows where it is.
  tail -n +1 -f "$log" --pid=$ci | grep --line-buffered '^=== ' || true
  wait $ci || status=$?

  echo "--- last lines of CI's output"
  tail -n 40 "$log"
  echo "fresh-check: CI exited with status $status"
  exit $status
}

main "$@"
