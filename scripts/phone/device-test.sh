#!/bin/sh
# Inside the emulated phone (scripts/phone.sh --test): the test programs
# that need no X server, the device benchmark, then the front-end for the
# user's path that the host drives with keys and taps, while this side
# reports the display's sleep time. Every line for the host starts with
# "DEVICE-".
here=/opt/tarragon-test
uptime() { cut -d ' ' -f 1 /proc/uptime; }

blank() { cat /sys/module/kernel/parameters/consoleblank; }
echo "DEVICE-TESTS begin at $(uptime) s; the display sleeps after $(blank) s"
failed=0
for program in "$here"/build/tests/tst_*; do
    name=${program##*/}
    started=$(uptime)
    report=$(cd /tmp && QT_QPA_PLATFORM=offscreen TARRAGON_BINARY_DIR="$here/build" \
        TARRAGON_SOURCE_DIR="$here/src" "$program" 2>&1)
    # As the test command has it: a program that ends early has not passed.
    if printf '%s\n' "$report" | grep -q "^Totals: [0-9]* passed, 0 failed"; then
        echo "DEVICE-TEST PASS $name ($started to $(uptime) s)"
    else
        printf '%s\n' "$report" | grep -A 4 "^FAIL!"
        printf '%s\n' "$report" | tail -n 5
        echo "DEVICE-TEST FAIL $name"
        failed=1
    fi
done
echo "DEVICE-TESTS end: $([ $failed = 0 ] && echo passed || echo failed); sleep after $(blank) s"

echo "DEVICE-BENCH begin"
"$here/build/bench/bench_device" /usr/bin/tarragon "$here/build/bench/barelist" 3 |
    sed 's/^/DEVICE-BENCH /'
echo "DEVICE-BENCH end"

# A toolkit program on the framebuffer turns the console's timeout off when
# it starts and sets 15 minutes when it ends; the front-end keeps the
# phone's own, also when it is asked to end.
panelrest -r >/dev/null 2>&1
tarragon >/dev/null 2>&1 &
front=$!
sleep 15
kill -TERM "$front"
wait "$front"
echo "DEVICE-EXIT status $?, sleep after $(blank) s"

# The user's path, steered by the host. The last front-end's picture stays
# on the framebuffer: cleared, so the host waits for this one to show.
cat /dev/zero >/dev/fb0 2>/dev/null
tarragon >/dev/console 2>&1 &
front=$!
echo "DEVICE-READY"
reported=""
while kill -0 "$front" 2>/dev/null; do
    state=idle
    busybox pidof mplayer >/dev/null && state=playing
    now="$state $(blank)"
    [ "$now" = "$reported" ] || echo "DEVICE-SLEEP $now"
    reported=$now
    sleep 0.2
done
echo "DEVICE-END"
