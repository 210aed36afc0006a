#!/usr/bin/env bash
# Start-up in instructions, counted by valgrind's callgrind from exec to the
# first moment the event loop waits: the front-end against a bare list
# widget, offscreen, each showing 40 entries. Unlike a time, the count
# repeats from run to run whatever else the machine is doing.
#   bench/bench_instructions.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
. "$root/scripts/apt.sh"
apt_install valgrind

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/media" "$work/playlist"
for i in $(seq -w 0 39); do : >"$work/media/clip$i.avi"; done
# The options record opens the media folder.
head -c 312 /dev/zero >"$work/setup"
printf '%s' "$work/media" | dd of="$work/setup" bs=1 seek=128 conv=notrunc status=none

run() { (cd "$work" && env PWD="$work" QT_QPA_PLATFORM=offscreen "$@"); }
instructions() {
    run valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}
# Caches the toolkit fills on a first start (fonts) are filled before counting.
run "$build/bench/barelist" --idle >/dev/null 2>&1
run "$build/bench/frontendidle" >/dev/null 2>&1
bare=$(instructions "$build/bench/barelist" --idle)
front=$(instructions "$build/bench/frontendidle")
echo "start-up in instructions, exec to idle (callgrind, offscreen, 40 entries):"
printf '  bare list widget   %12d\n' "$bare"
printf '  tarragon           %12d   ratio %.3f\n' "$front" "$(echo "$front / $bare" | bc -l)"
