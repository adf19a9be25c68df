#!/usr/bin/env bash
# Loading and writing back at the speed of the disk, side by side with what the same file I/O costs
# without the program, on the sample disc (in a folder under BUILD, on the disk the build is on):
#   `tarvo player IMG 5 --json` against `cat` of the boot file (target: at most 1.5 times);
#   `tarvo set-player IMG 5 ... --no-backup` against bench/journaled_io.cpp, which reads the three
#   files' sectors, writes and flushes a journal of the sectors to change, writes them and flushes
#   (target: at most 2 times).
# Each command runs RUNS times (default 31) after a warm-up, alternating with its yardstick, timed
# by the shell's clock; the medians and their ratios are printed.
# Usage: bench/load_speed.sh [BUILD] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-31}
tarvo=$(realpath "$build/cli/tarvo")
cd "$(dirname "$0")"
work=$(mktemp -d "$(realpath "../$build")/load-speed.XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work
"$tarvo" make-sample "$work" >/dev/null
g++ -std=c++20 -O2 -o "$work/journaled_io" journaled_io.cpp
img=$work/sample.bin
boot=$work/exported/QXRT_418.27
# Alternating stamina values, so that every write-back changes the same sectors.
flip=0
set_player() {
  flip=$((1 - flip))
  "$tarvo" set-player "$img" 5 stamina=$((61 + flip)) --no-backup 2>/dev/null
}
# The sectors a write-back of one player changes: counted once from the image before and after
# (after a first write, so that the value stored differs from the one there).
set_player >/dev/null
cp "$img" "$work/before.bin"
set_player >/dev/null
sectors=$({ cmp -l "$work/before.bin" "$img" || true; } | awk '{ print int(($1 - 1) / 2352) }' | sort -u | wc -l)
rm "$work/before.bin"

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Times (ms) of RUNS runs of each of two commands, alternating; prints "median-a median-b".
pair() {
  local a=$1 b=$2
  eval "$a" >/dev/null; eval "$b" >/dev/null
  : >"$work/a"; : >"$work/b"
  for _ in $(seq "$runs"); do
    for which in a b; do
      local cmd=$a
      [ "$which" = b ] && cmd=$b
      local start=$EPOCHREALTIME
      eval "$cmd" >/dev/null
      echo "($EPOCHREALTIME - $start) * 1000" | bc -l >>"$work/$which"
    done
  done
  echo "$(median <"$work/a") $(median <"$work/b")"
}

read -r player cat < <(pair "'$tarvo' player '$img' 5 --json" "cat '$boot'")
read -r setp yard < <(pair "set_player" "'$work/journaled_io' '$img' '$work/yard.journal' $sectors")
printf 'tarvo player --json:         %7.2f ms   cat of the boot file:      %7.2f ms   ratio %.2f (target <= 1.5)\n' \
  "$player" "$cat" "$(echo "$player / $cat" | bc -l)"
printf 'tarvo set-player --no-backup: %6.2f ms   journaled I/O, %d sectors: %7.2f ms   ratio %.2f (target <= 2)\n' \
  "$setp" "$sectors" "$yard" "$(echo "$setp / $yard" | bc -l)"
echo "($runs runs each, medians, on $(df --output=fstype "$work" | tail -1))"
