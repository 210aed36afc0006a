# Sourced by scripts/phone.sh: the phone's keys, taps and screen, and
# measures of a screenshot.

key() {
    local code
    for code in "$@"; do
        qmp '{"execute":"send-key","arguments":{"keys":[{"type":"qcode","data":"'"$code"'"}]}}'
        sleep 0.3
    done
}

# The tablet's pointer to a point of the screen.
point() {
    local x=$(($1 * 32767 / (panel_width - 1))) y=$(($2 * 32767 / (panel_height - 1)))
    qmp '{"execute":"input-send-event","arguments":{"events":[{"type":"abs","data":{"axis":"x","value":'$x'}},{"type":"abs","data":{"axis":"y","value":'$y'}}]}}'
}

# A tap at a point of the screen.
tap() {
    point "$1" "$2"
    qmp '{"execute":"input-send-event","arguments":{"events":[{"type":"btn","data":{"down":true,"button":"left"}}]}}'
    sleep 0.15
    qmp '{"execute":"input-send-event","arguments":{"events":[{"type":"btn","data":{"down":false,"button":"left"}}]}}'
    sleep 0.5
}

# The screen as a PNG. The emulated GPU's through the emulator; a second
# card's the emulator cannot show, so the guest reads its framebuffer into
# the share (guest/shots) and it is converted here.
shot() {
    if [ "$panel_fb" = /dev/fb0 ]; then
        qmp '{"execute":"screendump","arguments":{"filename":"'"$work/screen.ppm"'"}}'
        convert "$work/screen.ppm" "$1"
        return
    fi
    rm -f "$share/screen.raw" "$share/screen.info"
    touch "$share/screen.wanted"
    for _ in $(seq 100); do
        [ -f "$share/screen.raw" ] && break
        sleep 0.1
    done
    # The bytes of a line, and then the lines that show.
    local stride
    stride=$(cat "$share/screen.info" 2>/dev/null || echo $((panel_width * 2)))
    ffmpeg -loglevel error -y -f rawvideo -pix_fmt rgb565le -s "$((stride / 2))x$panel_height" \
        -i "$share/screen.raw" -frames:v 1 -vf "crop=$panel_width:$panel_height:0:0" "$1"
    cp "$share/screen.raw" "$work/screen.ppm"
}

# Mean brightness of a region (WxH+X+Y) of a screenshot, 0 to 100.
brightness() {
    convert "$1" -crop "$2" -colorspace Gray -format '%[fx:round(mean*100)]' info:
}

# Mean red, green and blue of a region, each 0 to 255.
colour() {
    convert "$1" -crop "$2" -format '%[fx:round(mean.r*255)] %[fx:round(mean.g*255)] %[fx:round(mean.b*255)]\n' info:
}

# Pixels that differ between two screenshots, in a region.
changed() {
    # compare's status says whether they differ; the count says by how much.
    { compare -metric AE -fuzz 5% "$1" "$2" -crop "$3" null: 2>&1 || true; } | cut -d ' ' -f 1
}

# Waits for the front-end's list: a lit screen that stays the same.
wait_for_list() {
    local previous="" now
    for _ in $(seq 240); do
        shot "$work/wait.png"
        now=$(md5sum <"$work/screen.ppm")
        if [ "$(brightness "$work/wait.png" "${panel_size}+0+0")" -gt 30 ] && [ "$now" = "$previous" ]; then
            return 0
        fi
        previous=$now
        sleep 1
    done
    return 1
}

# Waits for the screen to change from a screenshot; false when it did not.
wait_for_change() {
    local from=$1
    for _ in $(seq 20); do
        shot "$work/wait.png"
        [ "$(changed "$from" "$work/wait.png" "${panel_size}+0+0")" -gt 50 ] && return 0
        sleep 0.5
    done
    return 1
}
