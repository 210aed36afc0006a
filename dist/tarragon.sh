#!/bin/sh
# /usr/bin/tarragon: starts the front-end in the user's own installation
# directory, which holds their options ("setup"), their playlists
# ("playlist/") and links to the programs the front-end runs by relative
# name. Upgrading or removing the package never touches it.
set -eu

lib=/usr/lib/tarragon
# A relative XDG_DATA_HOME is to be ignored, as the XDG rules say: the
# user's directory would depend on where they started from.
data=${XDG_DATA_HOME:-}
case $data in
    /*) ;;
    *) data=${HOME:?}/.local/share ;;
esac
home=$data/tarragon

# Builtins where they do: this runs on every start.
[ -d "$home/playlist" ] || mkdir -p "$home/playlist"
for program in mplayer killall panelrest; do
    # A program of the user's own in its place is left alone.
    [ -e "$home/$program" ] || [ -L "$home/$program" ] || ln -s "$lib/$program" "$home/$program"
done

# First start: open the user's videos (or home) rather than the phone's
# memory card, unless this is a phone that has one.
if [ ! -e "$home/setup" ]; then
    start=
    if [ ! -d /mmc/mmca1 ]; then
        start=$(xdg-user-dir VIDEOS 2>/dev/null || true)
        [ -n "$start" ] && [ "$start" != "${HOME:-}" ] && [ -d "$start" ] || start=${HOME:-}
    fi
    head -c 312 /dev/zero >"$home/setup.new"
    # The record holds the folder in 131 bytes and its NUL.
    if [ -n "$start" ] && [ "$(printf '%s' "$start" | wc -c)" -le 131 ]; then
        printf '%s' "$start" | dd of="$home/setup.new" bs=1 seek=128 conv=notrunc status=none
    fi
    mv "$home/setup.new" "$home/setup"
fi

cd -P "$home"
export PWD
# Where the player's launcher finds its menu without resolving its link.
export TARRAGON_LIB="$lib"
exec "$lib/tarragon" "$@"
