#!/usr/bin/env bash
# Records a short game of the real binary driven like a player (drive, turn, fire, jump, L),
# then replays the recording: both print the same "Replay state hash" line, and the replay
# quits by itself. Broken recordings (missing, cut in half, random bytes, a future version) and
# a bad option are refused with one line on standard error before any window opens.
set -u
source "$(dirname "$0")/lib.bash"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
recording="$dir/game.bkrc"

game_args=(--record "$recording")
game_start "$1" "$2/replay_record"
game_key Return
sleep 0.5
game_hold w 1.0
game_hold a 0.5
xdotool click --window "$window_id" 1
game_key space
sleep 0.5
xdotool click --window "$window_id" 1
game_hold d 0.4
game_key l
sleep 0.5
game_key Escape
game_wait_exit
expect_status 0
recorded=$(grep '^Replay state hash: ' "$out")
echo "recorded: $recorded"
[[ "$recorded" =~ ^Replay\ state\ hash:\ [0-9a-f]{16}\ at\ tick\ [1-9][0-9]*$ ]] ||
  fail "no state hash line when recording: '$recorded'"

game_args=(--replay "$recording")
game_start "$1" "$2/replay_play"
game_wait_exit
expect_status 0
expect_no_gl_errors
replayed=$(grep '^Replay state hash: ' "$out")
echo "replayed: $replayed"
[ "$recorded" = "$replayed" ] || fail "the replay ended on '$replayed'"

binary=$(realpath "$1")
size=$(stat -c %s "$recording")
head -c $((size / 2)) "$recording" >"$dir/half.bkrc"
head -c 4096 /dev/urandom >"$dir/random.bkrc"
{ printf 'BKRC\x09\x00'; tail -c +7 "$recording"; } >"$dir/future.bkrc"
for broken in missing half random future; do
  refused "$broken recording" 1 "$binary" --replay "$dir/$broken.bkrc"
  grep -qF "$dir/$broken.bkrc" <<<"$refused_line" || fail "$broken recording: the line does not name the file"
done
refused "an unknown option" 2 "$binary" --fly
refused "a missing file name" 2 "$binary" --replay
finish
