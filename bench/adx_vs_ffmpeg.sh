#!/usr/bin/env bash
# `tarvo adx2wav` against ffmpeg's ADX decoder, as whole processes, in the same run: a stereo
# 44.1 kHz ADX file of MINUTES minutes (default 10) made by ffmpeg's adpcm_adx encoder, decoded
# RUNS times (default 5) by each, in turn. Prints the median wall time and peak memory of each and
# the ratios (targets: time at most 0.6 times ffmpeg's, peak memory at most 16 MiB).
# Usage: bench/adx_vs_ffmpeg.sh [TARVO] [MINUTES] [RUNS]
set -euo pipefail
tarvo=${1:-build/cli/tarvo}
minutes=${2:-10}
runs=${3:-5}
for tool in ffmpeg /usr/bin/time "$tarvo"; do
  command -v "$tool" >/dev/null || { echo "adx_vs_ffmpeg: $tool is missing (apt-get install ffmpeg time)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seconds=$((minutes * 60))
ffmpeg -v error -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$seconds" \
       -f lavfi -i "anoisesrc=color=pink:sample_rate=44100:amplitude=0.3:duration=$seconds" \
       -filter_complex "[0][1]amerge=inputs=2" -ac 2 -c:a adpcm_adx "$work/x.adx"
echo "input: $(stat -c %s "$work/x.adx") bytes of ADX, $minutes min stereo 44.1 kHz; $runs runs each"

# One run: "wall-seconds kilobytes cpu-seconds" of the command. Each run writes a new file (the
# one before is removed first), so that neither pays for freeing the last run's blocks.
measure() {
  rm -f "$work/t.wav" "$work/f.wav"
  /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$@" >/dev/null 2>&1
  awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }' "$work/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/tarvo"; : >"$work/ffmpeg"
for _ in $(seq "$runs"); do
  measure "$tarvo" adx2wav "$work/x.adx" "$work/t.wav" >>"$work/tarvo"
  measure ffmpeg -v error -y -i "$work/x.adx" "$work/f.wav" >>"$work/ffmpeg"
done

# Medians of wall time, peak memory and CPU time (user + system: what a busy machine distorts least).
tt=$(cut -d' ' -f1 "$work/tarvo" | median); tm=$(cut -d' ' -f2 "$work/tarvo" | median)
tc=$(cut -d' ' -f3 "$work/tarvo" | median)
ft=$(cut -d' ' -f1 "$work/ffmpeg" | median); fm=$(cut -d' ' -f2 "$work/ffmpeg" | median)
fc=$(cut -d' ' -f3 "$work/ffmpeg" | median)
printf 'tarvo adx2wav: %.3f s wall, %.3f s CPU, %.1f MiB peak\n' "$tt" "$tc" "$(echo "$tm / 1024" | bc -l)"
printf 'ffmpeg:        %.3f s wall, %.3f s CPU, %.1f MiB peak\n' "$ft" "$fc" "$(echo "$fm / 1024" | bc -l)"
printf 'ratio: wall time %.2f, CPU time %.2f, memory %.2f\n' "$(echo "$tt / $ft" | bc -l)" \
  "$(echo "$tc / $fc" | bc -l)" "$(echo "$tm / $fm" | bc -l)"
