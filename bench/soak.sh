#!/usr/bin/env bash
# Soak run: an hour of generated sound (SOAK_SECONDS, default 3600) through
# the instrument, via the file device as fast as possible
# (--export), with --record. Samples the program's resident memory (VmRSS)
# and its open file descriptors every SOAK_EVERY seconds (default 0.2) into
# BUILD_DIR/soak.csv, with how far into the sound the run is (from the size of the
# growing recording), prints the figures at the end of the sound's first
# minute and of its last, and checks that the recording holds every sample
# of the input, byte for byte.
#
# Usage: bench/soak.sh [BUILD_DIR]     (default: build; built if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
seconds=${SOAK_SECONDS:-3600}
every=${SOAK_EVERY:-0.2}
scripts/build "$build_dir" >/dev/null

work=$(mktemp -d /tmp/wellenschau-soak-XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "soak: generating $seconds s of sound" >&2
"$build_dir/bench/make-soak-sound" "$work/in.wav" "$seconds"

echo "soak: running the export with --record" >&2
QT_QPA_PLATFORM=offscreen "$build_dir/src/app/wellenschau" --input "$work/in.wav" --export "$work/out" \
  --record "$work/rec.wav" 2>"$work/stderr" &
pid=$!
start=$(date +%s%3N)
echo "elapsed_ms,sound_s,vmrss_kb,open_fds" >"$work/soak.csv"
while kill -0 "$pid" 2>/dev/null; do
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
  fds=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l || true)
  bytes=$(stat -c %s "$work/rec.wav" 2>/dev/null || echo 44)
  [ -n "$rss" ] && echo "$(( $(date +%s%3N) - start )),$(( (bytes - 44) / 88200 )),$rss,$fds" >>"$work/soak.csv"
  sleep "$every"
done
status=0
wait "$pid" || status=$?
cp "$work/soak.csv" "$build_dir/soak.csv"
cat "$work/stderr" >&2
[ "$status" -eq 0 ] || { echo "soak: the program failed (exit $status)" >&2; exit 1; }

# At the end of the sound's first minute, in its last minute, and while the
# export writes its pictures and files after the sound has ended.
awk -F, -v total="$seconds" '
  NR == 1 { next }
  $2 >= 60 && !f { fr = $3; ff = $4; fs = $2; fe = $1; f = 1 }
  f && $2 < total { lo = (lo == "" || $3 < lo ? $3 : lo); hi = ($3 > hi ? $3 : hi); flo = (flo == "" || $4 < flo ? $4 : flo); fhi = ($4 > fhi ? $4 : fhi) }
  $2 >= total - 60 && $2 < total { lr = $3; lf = $4; ls = $2; le = $1 }
  $2 >= total { er = ($3 > er ? $3 : er); ef = ($4 > ef ? $4 : ef) }
  END {
    printf "soak: at sound %d s (run %d ms): VmRSS %d kB, %d open fds\n", fs, fe, fr, ff
    printf "soak: at sound %d s (run %d ms): VmRSS %d kB, %d open fds\n", ls, le, lr, lf
    printf "soak: in between: VmRSS %d .. %d kB, open fds %d .. %d\n", lo, hi, flo, fhi
    printf "soak: writing the export files at the end: VmRSS up to %d kB, up to %d open fds\n", er, ef
  }' "$build_dir/soak.csv"

if cmp -s "$work/in.wav" "$work/rec.wav"; then
  echo "soak: the recording holds every sample of the input ($(stat -c %s "$work/rec.wav") bytes)"
else
  echo "soak: the recording differs from the input" >&2
  cmp "$work/in.wav" "$work/rec.wav" | head -1 >&2 || true
  exit 1
fi
