#!/usr/bin/env bash
# CPU of the window recording a live 1 kHz tone (in both channels of a
# two-channel source) from a private PulseAudio server, under Xvfb at
# 1920 x 1080 on a free display: the plain window, the analyser view, and
# the analyser view with the edge trigger's live trace with one and with
# two channels, each for SECONDS (default 30). Prints the share of one
# core the program's CPU time (user and system, all its threads) makes.
# Needs: Xvfb, xdotool, pulseaudio, python3; run after a build.
# Usage: bench/live-cpu.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-30}
program=$(realpath "$build")/src/app/wellenschau
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT

# Xvfb picks a free display itself and writes its number once it listens.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
while [ ! -s "$work/display" ]; do sleep 0.1; done
export XDG_RUNTIME_DIR=$work DISPLAY=:$(cat "$work/display") PULSE_SERVER=unix:$work/native JACK_NO_START_SERVER=1
export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/asound.conf
printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' > "$work/asound.conf"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --realtime=no --disable-shm=yes \
  --load="module-native-protocol-unix auth-anonymous=1 socket=$work/native" \
  --load="module-pipe-source source_name=scopein file=$work/scopein format=s16le rate=44100 channels=2" \
  --load="module-always-sink" >/dev/null 2>&1 &
while [ ! -p "$work/scopein" ] || [ ! -S "$work/native" ]; do sleep 0.1; done
pactl set-default-source scopein
# A 1 kHz tone at half scale in both channels, fed at real-time pace.
python3 - "$work/scopein" <<'PY' &
import math, struct, sys, time
fifo = open(sys.argv[1], 'wb', buffering=0)
n = 0
start = time.monotonic()
while True:
    block = b''.join(struct.pack('<hh', *(2 * [int(16384 * math.sin(2 * math.pi * 1000 * (n + i) / 44100))]))
                     for i in range(4410))
    fifo.write(block)
    n += 4410
    time.sleep(max(0.0, start + n / 44100 - time.monotonic()))
PY
sleep 1

# Share of one core used by the program over the given seconds. The window
# opens centred on the screen with the size given; Start sits at the left
# end of its tool bar.
measure() {
  local width=$1 height=$2
  shift 2
  "$program" "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep 3
  xdotool mousemove $(((1920 - width) / 2 + 20)) $(((1080 - height) / 2 + 12)) mousedown 1 sleep 0.2 mouseup 1
  sleep 3
  local ticks=$(getconf CLK_TCK)
  local before=$(awk '{print $14 + $15}' /proc/$pid/stat)
  sleep "$seconds"
  local after=$(awk '{print $14 + $15}' /proc/$pid/stat)
  kill $pid; wait $pid 2>/dev/null || true
  python3 -c "print(f'{100 * ($after - $before) / $ticks / $seconds:.1f} % of one core')"
}
echo "plain window:  $(measure 790 560)"
echo "analyser view: $(measure 1280 800 --analyser)"
echo "analyser view, edge trigger (live trace 40 times a second): $(measure 1280 800 --trigger edge)"
echo "the same with two channels: $(measure 1280 800 --trigger edge --channels 2)"
