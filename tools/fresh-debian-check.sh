#!/usr/bin/env bash
# Runs each of the two set-up lines of README.md alone, as a newcomer would,
# in its own fresh minimal Debian 12 (bookworm) tree: the project as
# committed at HEAD in /root/fleetjudge, run as root, and nothing else added
# but, with --sudo, a `sudo` that just runs its command (as on a machine
# where a user has sudo); without it there is no sudo at all (the usual
# container). Then the Debian packages: made by cpack from the second line's
# build, checked by lintian there, and installed with apt-get into a third
# fresh tree, where examples/api is built against them and run, shared and
# static, dpkg-shlibdeps is asked what a program linked to the library needs,
# the installed programs check the shipped example and the installed Python
# module is imported by Debian's python3. Prints PASS or FAIL and the time of
# each step, and exits 0 only when every step passes. Needs root,
# debootstrap and the network to a Debian mirror; it is not part of CI.
#
#   tools/fresh-debian-check.sh [--sudo] [work folder]   (default /var/tmp/fleetjudge-fresh)
#
# The minimal tree is made once and kept in the work folder as base/ (delete
# it to make it anew); each step starts from a fresh copy of it, line1/,
# line2/ and packages/, which stay with their logs for a look afterwards. The
# mirror is the one apt uses on this machine for bookworm, or $DEBIAN_MIRROR.
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
trap 'for t in "$work"/line1 "$work"/line2 "$work"/packages; do unmount_all "$t" || true; done' EXIT

if [ ! -e "$work/base/.complete" ]; then
  echo "making a minimal bookworm tree from $mirror"
  rm -rf "$work/base.new"
  debootstrap --variant=minbase bookworm "$work/base.new" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    die "debootstrap failed; see $work/debootstrap.log"
  touch "$work/base.new/.complete"
  rm -rf "$work/base"
  mv "$work/base.new" "$work/base"
fi

# A fresh copy of the minimal tree, with the project as committed at HEAD in
# /root/fleetjudge (only the paths given, if any).
fresh_tree() {
  local tree=$1
  shift
  unmount_all "$tree"
  rm -rf "$tree"
  cp -a "$work/base" "$tree"
  mkdir "$tree/root/fleetjudge"
  git -C "$root" archive HEAD "$@" | tar -x -C "$tree/root/fleetjudge"
  cp /etc/resolv.conf "$tree/etc/resolv.conf"
}

# Runs a shell command as root in the tree, in /root/fleetjudge, with a clean
# environment; prints PASS or FAIL with the time it took and the end of its
# log, and returns its status.
run_in() {
  local name=$1 tree=$2 log=$3 command=$4 status start seconds
  mount -t proc proc "$tree/proc"
  start=$(date +%s)
  set +e
  chroot "$tree" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c 'cd /root/fleetjudge && eval "$1"' "$name" "$command" \
    </dev/null >"$log" 2>&1
  status=$?
  set -e
  seconds=$(($(date +%s) - start))
  umount "$tree/proc"
  if [ "$status" -eq 0 ]; then
    echo "$name: PASS in ${seconds}s (log: $log)"
  else
    echo "$name: FAIL, status $status after ${seconds}s; the end of $log:"
    tail -n 20 "$log" | sed 's/^/  /'
  fi
  return "$status"
}

failed=0
for i in 1 2; do
  tree=$work/line$i
  fresh_tree "$tree"
  if [ "$with_sudo" = 1 ]; then
    printf '#!/bin/sh\n# stands in for sudo: the tree is used as root\nexec "$@"\n' >"$tree/usr/local/bin/sudo"
    chmod 755 "$tree/usr/local/bin/sudo"
  fi
  run_in "line $i ($([ "$with_sudo" = 1 ] && echo "with a sudo" || echo "no sudo"))" "$tree" "$work/line$i.log" \
    "${lines[$((i - 1))]}" || failed=1
done

# The packages, from the second line's build (warnings as errors, the Python
# module on): dpkg-shlibdeps and file are what cpack needs to work out each
# package's dependencies; lintian must find no error in any of them.
packages_built=0
if [ -x "$work/line2/root/fleetjudge/build-test/fleetjudge" ]; then
  run_in "packages made" "$work/line2" "$work/packages-made.log" '
    set -e
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y --no-install-recommends dpkg-dev file lintian
    cmake build-test && cd build-test && rm -f ./*.deb && cpack -G DEB
    for deb in ./*.deb; do echo "== $deb"; dpkg-deb --info "$deb" control; dpkg-deb --contents "$deb"; done
    lintian --fail-on error --display-info ./*.deb' && packages_built=1
fi
if [ "$packages_built" = 1 ]; then
  tree=$work/packages
  fresh_tree "$tree" examples tests/instances/five.txt
  mkdir "$tree/root/debs"
  cp "$work"/line2/root/fleetjudge/build-test/*.deb "$tree/root/debs/"
  run_in "packages installed" "$tree" "$work/packages.log" '
    set -e
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y g++ cmake make dpkg-dev /root/debs/*.deb
    dpkg-query -W fleetjudge libfleetjudge1 libfleetjudge-dev python3-fleetjudge
    ldconfig -p | grep -F libfleetjudge.so.1
    cmake -S examples/api -B /root/build-api -DCMAKE_CXX_FLAGS="-Wall -Wextra -Wpedantic -Werror"
    cmake --build /root/build-api
    for example in check_example check_example_static; do
      out=$(/root/build-api/$example tests/instances/five.txt)
      echo "$example: $out"
      grep -qx "fleetjudge says (status 0): OK" <<<"$out"
    done
    ldd /root/build-api/check_example | grep "libfleetjudge\.so\.1 => /"
    mkdir -p /root/shlibs/debian && touch /root/shlibs/debian/control
    depends=$(cd /root/shlibs && dpkg-shlibdeps -O /root/build-api/check_example)
    echo "$depends"
    grep -qF "libfleetjudge1 (>= " <<<"$depends"
    test "$(fleetjudge examples/depot100.txt examples/depot100.sol)" = OK
    fleetjudge-report examples/depot100.txt examples/depot100.sol >/dev/null
    python3 -c "import fleetjudge, sys; print(fleetjudge.__file__, fleetjudge.__version__); sys.exit(fleetjudge.check(\"tests/instances/five.txt\", b\"-1\\n\").status != 1)"
    test -f "$(python3 -c "import fleetjudge, os; print(os.path.dirname(fleetjudge.__file__))")/fleetjudge.pyi"' || failed=1
else
  echo "packages: not made (the second line did not build), so not installed"
  failed=1
fi
exit "$failed"
