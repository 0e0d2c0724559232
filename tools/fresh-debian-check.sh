#!/usr/bin/env bash
# Runs each of the two set-up lines of README.md alone, as a newcomer would,
# in its own fresh minimal Debian 12 (bookworm) tree: the project as
# committed at HEAD in /root/fleetjudge, run as root, and nothing else added
# but, with --sudo, a `sudo` that just runs its command (as on a machine
# where a user has sudo); without it there is no sudo at all (the usual
# container). Prints PASS or FAIL and the time of each line, and exits 0
# only when both pass. Needs root, debootstrap and the network to a Debian
# mirror; it is not part of CI.
#
#   tools/fresh-debian-check.sh [--sudo] [work folder]   (default /var/tmp/fleetjudge-fresh)
#
# The minimal tree is made once and kept in the work folder as base/ (delete
# it to make it anew); each line starts from a fresh copy of it, line1/ and
# line2/, which stay with their logs for a look afterwards. The mirror is
# the one apt uses on this machine for bookworm, or $DEBIAN_MIRROR.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
with_sudo=0
if [ "${1:-}" = --sudo ]; then
  with_sudo=1
  shift
fi
work=${1:-/var/tmp/fleetjudge-fresh}

die() {
  echo "fresh-debian-check: $*" >&2
  exit 2
}

# The URI of the first source for the suite bookworm itself, in either of
# apt's formats (one-line "deb URI bookworm ..." or deb822 stanzas).
apt_mirror() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -r "$f" ] || continue
    awk '
      /^deb / { sub(/\[[^]]*\] /, ""); if ($3 == "bookworm") { print $2; exit } }
      /^URIs:/ { uri = $2 }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == "bookworm") found = 1 }
      /^[ \t]*$/ { if (found && uri != "") { print uri; exit } uri = ""; found = 0 }
      END { if (found && uri != "") print uri }' "$f"
  done | head -n 1
}

# The command lines of the first ```sh block under "## Set up", comments
# and blank lines aside.
mapfile -t lines < <(git -C "$root" show HEAD:README.md | awk '
  /^## / { setup = ($0 == "## Set up"); next }
  setup && /^```sh/ { block = 1; next }
  block && /^```/ { exit }
  block && NF && $1 !~ /^#/ { print }')
[ "${#lines[@]}" -eq 2 ] || die "expected 2 set-up lines in README.md, found ${#lines[@]}"

[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap, chroot, mount)"
command -v debootstrap >/dev/null || die "needs debootstrap (apt-get install debootstrap)"
mirror=${DEBIAN_MIRROR:-$(apt_mirror)}
[ -n "$mirror" ] || die "no bookworm mirror in /etc/apt/sources.list*; set DEBIAN_MIRROR"
mkdir -p "$work"

# Never remove a tree while something is mounted inside it.
unmount_all() {
  local tree=$1
  if mountpoint -q "$tree/proc" 2>/dev/null; then umount "$tree/proc"; fi
  if grep -q " $tree/" /proc/mounts; then die "$tree still has mounts; not touching it"; fi
}
trap 'for t in "$work"/line1 "$work"/line2; do unmount_all "$t" || true; done' EXIT

if [ ! -e "$work/base/.complete" ]; then
  echo "making a minimal bookworm tree from $mirror"
  rm -rf "$work/base.new"
  debootstrap --variant=minbase bookworm "$work/base.new" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    die "debootstrap failed; see $work/debootstrap.log"
  touch "$work/base.new/.complete"
  rm -rf "$work/base"
  mv "$work/base.new" "$work/base"
fi

failed=0
for i in 1 2; do
  tree=$work/line$i
  log=$work/line$i.log
  unmount_all "$tree"
  rm -rf "$tree"
  cp -a "$work/base" "$tree"
  mkdir "$tree/root/fleetjudge"
  git -C "$root" archive HEAD | tar -x -C "$tree/root/fleetjudge"
  if [ "$with_sudo" = 1 ]; then
    printf '#!/bin/sh\n# stands in for sudo: the tree is used as root\nexec "$@"\n' >"$tree/usr/local/bin/sudo"
    chmod 755 "$tree/usr/local/bin/sudo"
  fi
  cp /etc/resolv.conf "$tree/etc/resolv.conf"
  mount -t proc proc "$tree/proc"

  start=$(date +%s)
  set +e
  chroot "$tree" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c 'cd /root/fleetjudge && eval "$1"' line "${lines[$((i - 1))]}" </dev/null >"$log" 2>&1
  status=$?
  set -e
  seconds=$(($(date +%s) - start))
  umount "$tree/proc"

  if [ "$status" -eq 0 ]; then
    echo "line $i ($([ "$with_sudo" = 1 ] && echo "with a sudo" || echo "no sudo")): PASS in ${seconds}s (log: $log)"
  else
    echo "line $i: FAIL, status $status after ${seconds}s; the end of $log:"
    tail -n 20 "$log" | sed 's/^/  /'
    failed=1
  fi
done
exit "$failed"
