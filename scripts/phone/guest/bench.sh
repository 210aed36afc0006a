#!/bin/sh
# Inside the emulated phone (scripts/phone.sh --test, on the emulator's
# instruction clock): the device benchmark, the front-end against a bare
# list widget started the same way.
here=/opt/tarragon-test
# The benchmark's own keyboard, for the key that plays the clip.
busybox modprobe uinput
echo "DEVICE-BENCH begin"
"$here/build/bench/bench_device" /usr/bin/tarragon "$here/build/bench/barelist" 5 \
    "$here/bench-media/orange.avi" |
    sed 's/^/DEVICE-BENCH /'
# The key that plays it, with a Chinese subtitle file beside the clip.
"$here/build/bench/bench_device" /usr/bin/tarragon - 5 "$here/bench-subtitled/orange.avi" |
    sed 's/^/DEVICE-BENCH [subtitled] /'
echo "DEVICE-BENCH end"
