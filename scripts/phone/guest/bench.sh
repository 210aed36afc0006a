#!/bin/sh
# Inside the emulated phone (scripts/phone.sh --test, on the emulator's
# instruction clock): the device benchmark, the front-end against a bare
# list widget started the same way.
here=/opt/tarragon-test
echo "DEVICE-BENCH begin"
"$here/build/bench/bench_device" /usr/bin/tarragon "$here/build/bench/barelist" 5 |
    sed 's/^/DEVICE-BENCH /'
echo "DEVICE-BENCH end"
