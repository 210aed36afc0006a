#!/usr/bin/env bash
# Installs what is needed, builds, installs into local/ and runs the
# front-end as a 240x320 phone on the desktop, with sample clips.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/xvfb-helpers.sh

scripts/install-deps.sh
cmake -S . -B build-run -DTARRAGON_TESTS=OFF >/dev/null
cmake --build build-run -j2
prefix="$root/local/tarragon"
cmake --install build-run --prefix "$prefix" >/dev/null
samples="$root/local/samples"
scripts/make-samples.sh "$samples"

# First start opens the samples: the options record keeps the last directory.
if [ ! -f "$prefix/setup" ]; then
    head -c 312 /dev/zero > "$prefix/setup"
    printf '%s' "$samples" | dd of="$prefix/setup" bs=1 seek=128 conv=notrunc status=none
fi

cat <<'KEYS'
Keys in the phone window:
  Up/Down           move in the list; while playing: seek +10 s / -10 s
  Return, Enter     select: enter a folder, play a file; while playing: pause
  Left/Right        while playing: seek +60 s / -60 s
  PageUp/PageDown   while playing: volume (or the shown property) up / down
  F6                next property to adjust (volume, brightness, contrast, ...)
  F2                while playing: the on-screen menu (Up/Down, Return, F6 back, F2 closes)
  F4 or F7          stop; F9 OSD; F10 mute
  F1 or Menu        the main menu (left soft key); F2 the playlists (middle)
  F3, Esc or Back   Exit (right soft key); in a menu they close it
  In a menu         Up/Down move, Return chooses, Right opens a submenu
KEYS

cd "$prefix"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec ./tarragon
fi

echo "No X display: running on a private Xvfb and taking a screenshot."
start_private_xvfb
trap stop_private_xvfb EXIT
./tarragon > "$root/local/tarragon.log" 2>&1 &
pid=$!
shot="$root/local/phone-screen.png"
wid=$(window_of "$pid")
sleep 1
if [ -n "${wid:-}" ]; then import -window "$wid" "$shot"; else import -window root "$shot"; fi
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "Screenshot of the phone's screen: $shot"
