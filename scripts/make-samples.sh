#!/usr/bin/env bash
# Generates a few short sample clips into the folder given.
set -euo pipefail
dir=$1
mkdir -p "$dir/Music" "$dir/Video"
gen() { [ -s "$1" ] || ffmpeg -loglevel error -y "${@:2}" "$1"; }
gen "$dir/Video/test pattern.avi" -f lavfi -i testsrc=size=240x180:rate=25:duration=20 \
    -f lavfi -i sine=frequency=440:duration=20 -c:v mpeg4 -q:v 4 -c:a mp3 -shortest
gen "$dir/Video/colour bars.mp4" -f lavfi -i smptebars=size=240x180:rate=25:duration=15 \
    -f lavfi -i sine=frequency=660:duration=15 -c:v mpeg4 -q:v 4 -c:a aac -shortest
gen "$dir/Music/a440.mp3" -f lavfi -i sine=frequency=440:duration=30 -c:a mp3
gen "$dir/Music/chord.wav" -f lavfi -i "sine=frequency=523:duration=10" -c:a pcm_s16le
# A subtitle as the phone's users have them: Chinese, in GBK.
[ -s "$dir/Video/test pattern.srt" ] || printf '1\n00:00:01,000 --> 00:00:19,000\n一个人的旅行\nA journey alone\n' |
    iconv -f UTF-8 -t GBK >"$dir/Video/test pattern.srt"
