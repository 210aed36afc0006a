# Sourced by scripts/phone.sh: the user's path on the phone's screen, with
# keys alone, and what the screenshots of it must show. Screenshots go to
# $shots, each name behind a prefix (the panel, the user).

# The clip highlighted, Menu (F1) opened on its first item, Play, then F4.
play_a_clip() {
    local at=$shots/$1
    key down down
    shot "${at}1-list.png"
    key f1
    wait_for_change "${at}1-list.png" || echo "the menu did not open"
    sleep 0.5
    shot "${at}2-menu.png"
    key ret
    # Playing: the menu and list gone, the picture come.
    local _
    for _ in $(seq 60); do
        sleep 1
        shot "${at}3-playing.png"
        [ "$(brightness "${at}3-playing.png" "${panel_width}x40+0+0")" -lt 3 ] &&
            [ "$(brightness "${at}3-playing.png" "$(picture)")" -gt 20 ] && break
    done
    sleep 2
    shot "${at}3-playing.png"
    sleep 1
    shot "${at}4-playing-a-second-later.png"
    # The on-screen menu over it (F2), its highlight a row down, then gone.
    key f2
    sleep 2
    shot "${at}4a-onscreen-menu.png"
    key down
    sleep 2
    shot "${at}4b-onscreen-menu-down.png"
    key f2
    sleep 2
    shot "${at}4c-onscreen-menu-closed.png"
    key f4
    sleep 1
    wait_for_list || echo "the list did not come back"
    shot "${at}5-list-again.png"
}

# The About box, with its Chinese line (the main menu's last item), over
# the list; then closed.
show_about() {
    local at=$shots/$1
    key f1
    wait_for_change "${at}5-list-again.png" || echo "the menu did not open"
    key down down down down down ret
    sleep 5
    shot "${at}6-about.png"
    [ "$(changed "${at}5-list-again.png" "${at}6-about.png" "${panel_size}+0+0")" -gt 2000 ] ||
        fail "$1: no About box"
    key ret
}

# The clip above's subtitle, a Hebrew and a Thai line, in the black band
# below its picture: glyphs, lines of their height (underscores are not),
# that change when each letter becomes its line's first (boxes would not).
show_scripts() {
    local at=$shots/$1 y=$(((panel_height - 180) / 2)) band _
    band="${panel_width}x$((y - 10))+0+$((y + 190))"
    lines() {
        [ "$(brightness "$1" "$band")" -lt 25 ] && [ "$(text_rows "$1" "$band")" -ge 16 ]
    }
    key up
    play_again
    for _ in $(seq 60); do
        sleep 1
        shot "${at}8-hebrew-thai.png"
        lines "${at}8-hebrew-thai.png" && break
    done
    lines "${at}8-hebrew-thai.png" || fail "$1: the Hebrew and Thai lines are not two lines of glyphs"
    for _ in $(seq 60); do
        sleep 1
        shot "${at}9-same-letters.png"
        lines "${at}9-same-letters.png" &&
            [ "$(changed "${at}8-hebrew-thai.png" "${at}9-same-letters.png" "$band")" -gt 100 ] && break
    done
    lines "${at}9-same-letters.png" &&
        [ "$(changed "${at}8-hebrew-thai.png" "${at}9-same-letters.png" "$band")" -gt 100 ] ||
        fail "$1: the Hebrew and Thai letters all look alike"
    key f4
    wait_for_list || fail "$1: no list after the subtitled clip"
}

# A song's screen (FILE, of WHO): its cover at the top, lines of text below.
check_song_screen() {
    local cover rows
    cover="$((panel_width / 3))x$((panel_height / 6))+$((panel_width / 3))+$((panel_width / 16 + 2))"
    rows=$(text_rows "$1" "${panel_width}x$((panel_height * 2 / 3))+0+$((panel_height / 3))")
    echo "$2: the song's screen has $rows rows of text below its cover"
    [ "$(brightness "$1" "$cover")" -gt 20 ] || fail "$2: the song's screen has no cover"
    [ "$rows" -gt 30 ] || fail "$2: the song's screen has no lines of text"
}

# The long song below the card, from the list as the subtitled clip left
# it: its screen, then the list again.
show_song() {
    local at=$shots/$1
    [ "$board_sound" = 1 ] || return 0
    key down down
    play_again
    sleep 10
    shot "${at}10-song.png"
    check_song_screen "${at}10-song.png" "$1"
    key f4
    wait_for_list || fail "$1: no list after the song"
}

# The rows of a region (WxH+X+Y) of a screenshot with white in them.
text_rows() {
    convert "$1" -crop "$2" +repage -threshold 60% txt:- |
        awk -F '[,:]' '/#FFFFFF/ { rows[$2] = 1 } END { print length(rows) }'
}

# Where the 240x180 clip shows at its own size: the middle of the screen.
picture() {
    echo "240x180+$(((panel_width - 240) / 2))+$(((panel_height - 180) / 2))"
}

# The list (PREFIX's first, or FILE) fills the screen, and the highlight is the style's blue, not
# its red and blue swapped, as a panel of another depth might show it.
check_list() {
    local list=$shots/${2:-${1}1-list.png} red _green blue
    [ "$(brightness "$list" "${panel_width}x$((panel_height - 80))+0+0")" -gt 60 ] ||
        fail "$1: the list does not fill the screen"
    # The soft keys span the width: the right one is drawn at the far end.
    [ "$(brightness "$list" "20x40+$((panel_width - 30))+$((panel_height - 60))")" -gt 30 ] ||
        fail "$1: the soft keys do not reach the right edge"
    read -r red _green blue < <(colour "$list" "${panel_width}x60+0+0")
    [ $((blue - red)) -gt 10 ] || fail "$1: the highlight's colours are wrong ($red, $blue)"
}

# Two screenshots a second apart differ inside the picture; the picture
# keeps its aspect: black around it.
check_picture() {
    local at=$shots/$1 x=$(((panel_width - 240) / 2)) y=$(((panel_height - 180) / 2))
    local moved
    moved=$(changed "${at}3-playing.png" "${at}4-playing-a-second-later.png" "$(picture)")
    [ "${moved:-0}" -gt 100 ] 2>/dev/null || fail "$1: the picture does not move ($moved pixels)"
    [ "$(brightness "${at}3-playing.png" "$(picture)")" -gt 20 ] || fail "$1: no picture"
    [ "$(brightness "${at}3-playing.png" "${panel_width}x$((y - 10))+0+0")" -lt 3 ] ||
        fail "$1: no black band above the picture"
    # Below it, the band down to the subtitle's line at the screen's foot:
    # the card's GBK line, six characters in one line, not escaped bytes.
    [ "$(brightness "${at}3-playing.png" "${panel_width}x$((y - 45))+0+$((y + 190))")" -lt 3 ] ||
        fail "$1: no black band below the picture"
    local line width height
    line=$(convert "${at}3-playing.png" -crop "${panel_width}x$((y - 10))+0+$((y + 190))" +repage \
        -threshold 60% -format '%@' info:)
    width=${line%%x*} height=${line#*x} height=${height%%+*}
    [ "$height" -ge 8 ] && [ "$height" -le 40 ] && [ "$width" -ge $((4 * height)) ] &&
        [ "$width" -le $((8 * height)) ] || fail "$1: the subtitle is not one line of six characters ($line)"
    if [ "$x" -gt 10 ]; then
        [ "$(brightness "${at}3-playing.png" "$((x - 10))x180+0+$y")" -lt 3 ] ||
            fail "$1: no black band beside the picture"
    fi
    [ "$(changed "${at}1-list.png" "${at}5-list-again.png" "${panel_size}+0+0")" -lt 2000 ] ||
        fail "$1: F4 did not bring the list back"
    local band="${panel_width}x$((y - 10))+0+0"
    [ "$(brightness "${at}4a-onscreen-menu.png" "$band")" -ge 3 ] ||
        fail "$1: F2 showed no menu"
    [ "$(changed "${at}4a-onscreen-menu.png" "${at}4b-onscreen-menu-down.png" "$band")" -gt 100 ] ||
        fail "$1: Down did not move the menu's highlight"
    [ "$(brightness "${at}4c-onscreen-menu-closed.png" "$band")" -lt 3 ] ||
        fail "$1: the menu left its trace after F2 closed it"
}

# SHOT, after the phone's 60 seconds without input: dark, where the board's
# framebuffer can go dark.
check_asleep() {
    sleep 65
    shot "$1"
    if [ "$board_blanks" = 1 ]; then
        [ "$(brightness "$1" "${panel_size}+0+0")" -lt 5 ] || fail "$2: the display did not go dark"
    fi
}

# After the phone's 60 seconds without input the screen is dark, where the
# board's framebuffer can go dark; a key lights it again, and does nothing
# else: Down would move the highlight.
check_sleep_and_wake() {
    local at=$shots/$1
    check_asleep "${at}6-asleep.png" "$1"
    key down
    sleep 2
    shot "${at}7-awake.png"
    [ "$(brightness "${at}7-awake.png" "${panel_size}+0+0")" -gt 30 ] ||
        fail "$1: a key did not light the display"
    [ "$(changed "${at}5-list-again.png" "${at}7-awake.png" "${panel_size}+0+0")" -lt 2000 ] ||
        fail "$1: the key that woke the display did more"
}

# The sleep times the guest saw while WHO's front-end ran: the phone's 60
# before the clip, 0 from the player's first report of its picture to the
# end of playback, and 60 after.
check_sleep_times() {
    local who=$1 sleeps playing
    # The toolkit's own 15 minutes, for the moment it takes the front-end
    # on its way out to put the phone's back, is no sleep time of the
    # front-end's: DEVICE-END tells what it left.
    sleeps=$(grep -o "DEVICE-SLEEP $who [a-z]* [0-9]*" "$serial" | cut -d ' ' -f 3- |
        sed '${/^idle 900$/d}')
    echo "$who: display sleep times seen: $(echo "$sleeps" | tr '\n' ';')"
    [ "$(echo "$sleeps" | sed -n '/^playing/q;p' | tail -n 1)" = "idle 60" ] ||
        fail "$who: the front-end did not keep the phone's 60 s before the clip"
    playing=$(echo "$sleeps" | sed -n 's/^playing //p' | tr '\n' ' ')
    echo "$playing" | grep -Eq '^((60 )*(0 )+)+$' ||
        fail "$who: the display could sleep while the clip played: $playing"
    [ "$(echo "$sleeps" | tail -n 1)" = "idle 60" ] || fail "$who: after playing the sleep time is not 60 s"
}

# The guest's walk with inputs of its own (guest/WHO.walk): a screenshot at
# each of the marks NAME..., and Exit at its end; then the list, the main
# menu, the picture and the list again, as the phone's keys show them.
walk_shots() {
    local who=$1 name
    shift
    wait_for_line "DEVICE-READY $who" 300 || fail "$who: no front-end"
    for name in "$@"; do
        wait_for_line "DEVICE-PAD-SHOT $who-$name" 300 || fail "$who: the walk stopped before $name"
        shot "$shots/$who-$name.png"
    done
    wait_for_line "DEVICE-END $who" 200 || fail "$who: Exit did not end the front-end"
}

pad_walk() {
    local who=$1 at=$shots/$1-
    walk_shots "$@"
    check_list "$who-"
    [ "$(changed "${at}1-list.png" "${at}2-menu.png" "${panel_size}+0+0")" -gt 2000 ] ||
        fail "$who: the menu did not open"
    [ "$(brightness "${at}3-playing.png" "$(picture)")" -gt 20 ] || fail "$who: no picture"
    [ "$(changed "${at}1-list.png" "${at}5-list-again.png" "${panel_size}+0+0")" -lt 2000 ] ||
        fail "$who: stop did not bring the list back"
}

# The song's walk (guest/song.walk): its screen with its cover and lines of
# text; dark asleep, where the board blanks; woken, its time still moving
# though its keys were locked; the list after; under 1% of the player's
# processor time; its place kept.
song_walk() {
    local at=$shots/song- share
    wait_for_line "DEVICE-SONG" 300 || fail "song: the walks did not end"
    grep -a "DEVICE-SONG" "$serial"
    if [ "$board_sound" = 0 ]; then
        echo "song: this board has no sound card, and a song no sound to play"
        return 0
    fi
    grep -aq "DEVICE-SONG cards: [1-9]" "$serial" || fail "song: no sound card"
    walk_shots song 1-song 2-level 3-locked 4-asleep 5-woken 6-woken-later 7-list-again
    check_song_screen "${at}1-song.png" song
    if [ "$board_blanks" = 1 ]; then
        [ "$(brightness "${at}4-asleep.png" "${panel_size}+0+0")" -lt 5 ] || fail "song: the display did not sleep"
    fi
    [ "$(changed "${at}4-asleep.png" "${at}5-woken.png" "${panel_size}+0+0")" -gt 2000 ] ||
        [ "$board_blanks" = 0 ] || fail "song: a key did not wake the display"
    [ "$(changed "${at}5-woken.png" "${at}6-woken-later.png" "${panel_size}+0+0")" -gt 10 ] ||
        fail "song: locked keys paused or stopped it"
    [ "$(brightness "${at}7-list-again.png" "${panel_width}x$((panel_height - 80))+0+0")" -gt 60 ] ||
        fail "song: stopped, the list did not come back"
    wait_for_line "DEVICE-POSITIONS" 120 || fail "song: the walk did not end"
    grep -a "DEVICE-SONG-CPU\|DEVICE-POSITIONS" "$serial" || true
    share=$(sed -n 's/.*DEVICE-SONG-CPU asleep.*: \([0-9.]*\)% of it.*/\1/p' "$serial")
    awk -v s="${share:-100}" 'BEGIN { exit !(s < 1) }' ||
        fail "song: the front-end took ${share:-?}% of the player's time with the display asleep"
    grep -aq "DEVICE-POSITIONS [0-9][0-9][0-9] /mmc/mmca1/voices.mp3;" "$serial" ||
        fail "song: its place was not kept"
}
