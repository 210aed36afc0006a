#!/usr/bin/env bash
# The packages as their users meet them. Two builds of one commit are the
# same bytes. Both pass lintian; the armel one holds ARMv5 soft-float
# programs and nothing built for the host. The amd64 one installs with apt,
# its console service verifies, /usr/bin/tarragon shows the phone's 240x320
# window and makes the user's own directory, panelrest is on the PATH, and
# removing the package leaves the user's directory alone. Needs root, for
# apt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/apt.sh
. scripts/xvfb-helpers.sh
apt_install lintian binutils xvfb x11-utils xdotool systemd

packages=$root/local/packages
amd64=$(ls "$packages"/tarragon_*_amd64.deb)
armel=$(ls "$packages"/tarragon_*_armel.deb)
work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    stop_private_xvfb || true
    if dpkg-query -W -f='${Status}' tarragon 2>/dev/null | grep -q "ok installed"; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tarragon >/dev/null 2>&1
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package test: $*" >&2
    exit 1
}

apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -y -qq "$@" >"$work/apt.log" 2>&1 ||
        fail "apt-get $*: $(cat "$work/apt.log")"
}

# Built again from the same commit: the same bytes.
cp "$amd64" "$work/first.deb"
rm -f build-amd64/player/tarragon build-amd64/sleeptool/panelrest
scripts/package.sh amd64 >"$work/package.log" 2>&1 || fail "second build: $(tail "$work/package.log")"
cmp -s "$work/first.deb" "$amd64" || fail "two builds of one commit differ"
echo "amd64: built twice, byte for byte the same"

for deb in "$amd64" "$armel"; do
    report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian on $deb: $report"
done
echo "lintian: no error or warning"

dpkg-deb -x "$armel" "$work/armel"
for program in tarragon panelrest mplayer killall; do
    [ -x "$work/armel/usr/lib/tarragon/$program" ] || fail "armel: no usr/lib/tarragon/$program"
done
elves=0
while IFS= read -r -d '' file; do
    [ "$(head -c 4 "$file" | od -An -tx1 | tr -d ' \n')" = 7f454c46 ] || continue
    header=$(readelf -h "$file")
    grep -q "Machine: *ARM$" <<<"$header" || fail "armel: ${file#"$work"/armel} is not for ARM"
    grep -q "Version5 EABI, soft-float ABI" <<<"$header" ||
        fail "armel: ${file#"$work"/armel} is not ARMv5 EABI soft-float"
    elves=$((elves + 1))
done < <(find "$work/armel" -type f -print0)
[ "$elves" -eq 4 ] || fail "armel: $elves programs, not 4"
echo "armel: every program is ARM, EABI5, soft-float"

apt_get install "$amd64"
# The console service where systemd finds a package's units, and sound: no
# word of it that systemd would ignore or refuse.
[ -f /usr/lib/systemd/system/tarragon@.service ] || fail "no tarragon@.service where systemd looks"
report=$(systemd-analyze verify tarragon@root.service 2>&1) && ! grep -q "tarragon@" <<<"$report" ||
    fail "systemd-analyze verify: $report"
echo "amd64: the console service verifies"
usage=$(panelrest)
[ "${usage%%$'\n'*}" = "USAGE:panelrest [n] [-r]" ] || fail "panelrest printed: $usage"

home=$work/home
mkdir -p "$home"
start_private_xvfb
# A relative XDG_DATA_HOME is ignored, as the XDG rules say.
(cd "$work" && exec env -u QT_QPA_PLATFORM XDG_DATA_HOME=relative HOME="$home" tarragon \
    >"$work/tarragon.log" 2>&1) &
pid=$!
window=$(window_of "$pid")
[ -n "$window" ] || fail "no window; the front-end said: $(cat "$work/tarragon.log")"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: //p')
[ "$geometry" = 240x320 ] || fail "the window is $geometry"
mine=$home/.local/share/tarragon
[ "$(stat -c %s "$mine/setup")" = 312 ] || fail "no options record in $mine"
[ -d "$mine/playlist" ] || fail "no playlist folder in $mine"
[ "$(readlink "$mine/mplayer")" = /usr/lib/tarragon/mplayer ] || fail "no link to the player"
[ ! -e "$work/relative" ] || fail "a relative XDG_DATA_HOME was used"
echo "amd64: installed; the 240x320 window is up; $mine holds setup and playlist/"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""

apt_get remove tarragon
[ ! -e /usr/bin/tarragon ] || fail "removal left /usr/bin/tarragon"
[ -f "$mine/setup" ] && [ -d "$mine/playlist" ] || fail "removal touched $mine"
echo "amd64: removed; the user's directory stays"
