#!/bin/sh
# Inside the emulated phone (scripts/phone.sh --test): after a power cut,
# the data disk's file system and the files the last run wrote are checked;
# then a new run writes until the power goes again.
driver=/opt/tarragon-test/build/tests/powercut
# The data disk, as the board has it.
disk=$(sed -n 's/.*phone.data=\([^ ]*\).*/\1/p' /proc/cmdline)
for _ in $(seq 100); do
    [ -b "$disk" ] && break
    sleep 0.1
done
mkdir -p /data
if ! busybox mount -t ext4 "$disk" /data; then
    echo "POWERCUT-CHECK bad: the data disk does not mount"
    exit 1
fi
last=$(ls -d /data/run-* 2>/dev/null | tail -n 1)
if [ -n "$last" ]; then
    "$driver" check "$last"
    rm -rf "$last"
else
    echo "POWERCUT-CHECK none: a first start"
fi
busybox umount /data
if e2fsck -fn "$disk" >/tmp/fsck.log 2>&1; then
    echo "POWERCUT-FSCK clean"
else
    echo "POWERCUT-FSCK errors"
    cat /tmp/fsck.log
fi
busybox mount -t ext4 "$disk" /data
run=/data/run-$(cat /proc/sys/kernel/random/uuid)
mkdir "$run"
sync
"$driver" write "$run" >/dev/null
