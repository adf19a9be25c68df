#!/usr/bin/env bash
# Runs one table of commands with the Linux tarvo and with the Windows tarvo (under wine), each on
# its own copy of one sample disc: stdout, stderr, exit status, the files written and the image
# afterwards must be the same bytes.
# Usage: same_bytes_as_linux.sh LINUX_TARVO WINE WINDOWS_TARVO
set -euo pipefail
linux=$1 wine=$2 windows=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Lock files and backups go into the work folder, never into the home folder.
export XDG_DATA_HOME=$work/data

"$linux" make-sample "$work/sample" --no-padding >/dev/null
for side in linux windows; do
  mkdir "$work/$side"
  cp "$work/sample/sample.bin" "$work/$side/disc.bin"
done

commands=(
  "info {S}"
  "team {S} 70"
  "player {S} 12 --json"
  "set-player --no-backup {S} 12 speed=99 back_name=RIVAZ"
  "player {S} 12"
  "export-team {S} 70 {D}/team.dat"
  "import-player {S} 5 {D}/missing.dat"
)
failed=0
for command in "${commands[@]}"; do
  for side in linux windows; do
    dir="$work/$side"
    read -r -a args <<<"$command"
    args=("${args[@]//_/ }")  # "back_name" stands for the field "back name"
    args=("${args[@]//\{S\}/$dir/disc.bin}")
    args=("${args[@]//\{D\}/$dir}")
    status=0
    if [ "$side" = linux ]; then
      "$linux" "${args[@]}" >"$dir/out" 2>"$dir/err" || status=$?
    else
      "$wine" "$windows" "${args[@]}" >"$dir/out" 2>"$dir/err" || status=$?
    fi
    # The paths in messages differ by the folder only.
    sed -i "s|$dir|DIR|g" "$dir/err"
    echo "$status" >"$dir/status"
  done
  for part in out err status; do
    if ! cmp -s "$work/linux/$part" "$work/windows/$part"; then
      echo "'$command': $part differs"
      diff <(xxd "$work/linux/$part") <(xxd "$work/windows/$part") | head -20 || true
      failed=1
    fi
  done
done
for file in disc.bin team.dat; do
  cmp "$work/linux/$file" "$work/windows/$file" || failed=1
done
exit $failed
