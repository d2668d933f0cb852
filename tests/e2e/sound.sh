#!/usr/bin/env bash
# Plays the real game into OpenAL Soft's wave writer, which records the mix to a WAV file in
# real time, and reads the recordings. Four games, each with the same input: ENTER, a left
# click 1 s later and another 0.3 s after it, each bullet bursting on the centre block 1.8
# units ahead of the muzzle (0.09 s of flight), then ESC 1 s after the second.
# - shot: the wall hit's sound file is taken away, so the shot is the only one-shot after the
#   click; it must be heard within 200 ms of the click.
# - hit: the shot's sound file is taken away instead; the hit must be heard within 400 ms.
# - mix: every sound, as in a match. The loudest sample, on either channel, of the 0.6 s from
#   the first click, the player's shots and hits over the idling engines, must lie between -6
#   and -1 dBFS; the engines idling alone in the 0.6 s before the first click must peak 15 to
#   25 dB under it; and no sample of the whole recording may reach full scale. (The computer
#   may fire later in the recording, its shot on top of the player's; the mix then rises over
#   -1 dBFS, the limiter's business.)
# - muted: M on the title screen ("Sound off"); the whole recording must be silent.
# Heard means: a 100-ms window of the recording louder than kHeard and at least twice as loud
# as every window of the 0.4 s before the click, when only the idling engines run. The
# computer tank neither moves nor shoots in its first 1.7 s, so nothing else sounds then.
# The time of the click in the recording is the recording's size just before it, which the
# writer keeps up with real time; its buffering can only make the time early, and the check
# stricter. Recordings and loudness tables stay in the artefacts under sound/.
set -u
source "$(dirname "$0")/lib.bash"

binary=$(realpath "$1")
assets=$(staged_assets "$binary")
levels="$(dirname "$binary")/brakkel_sound_levels"
results="$2/sound"
rate=44100
bytes_per_second=$((rate * 2 * 4)) # stereo float, as configured below
heard=0.05                         # RMS over 100 ms, -26 dBFS; a near shot is about five times that
silence=0.0001                     # peak of a recording with nothing audible in it
loudest_low=0.501                  # -6 dBFS, the least and the most the mix may peak at
loudest_high=0.891                 # -1 dBFS
engines_under_low=15               # dB, the least and the most the idling engines lie under the shots
engines_under_high=25

rm -rf "$results"
mkdir -p "$results"

# recorded_seconds FILE: how much the writer has recorded so far, in seconds.
recorded_seconds() { awk -v bytes="$(stat -c %s "$1")" -v rate="$bytes_per_second" 'BEGIN { printf "%.3f", bytes / rate }'; }

# loudest TABLE FROM TO COLUMN: the largest COLUMN (2 RMS, 3 peak of the channels' average,
# 4 sample peak) of the windows starting between FROM and TO seconds.
loudest() {
  awk -v from="$2" -v to="$3" -v column="$4" \
    '$1 >= from - 1e-6 && $1 <= to + 1e-6 && $column > max { max = $column } END { printf "%.6f", max + 0 }' "$1"
}

# record NAME SILENT_FILE MUTED: one game as described above, in a copy of the asset tree
# without Sounds/SILENT_FILE ("" for none), with M first when MUTED is 1. Leaves the game's
# output in $out and $err, the loudness table in $table and the click's time in $click.
record() {
  local name=$1 silent=$2 muted=$3 dir="$results/$1"
  mkdir -p "$dir"
  tree=$(asset_tree_copy "$assets")
  [ -z "$silent" ] || rm "$tree/Brakkel_game/Sounds/$silent"
  local recording="$dir/recording.wav"
  printf '[general]\nfrequency = %s\nchannels = stereo\nsample-type = float32\n[wave]\nfile = %s\n' \
    "$rate" "$recording" >"$dir/alsoft.conf"

  click=0
  ALSOFT_DRIVERS=wave ALSOFT_CONF="$dir/alsoft.conf" game_launch "$binary" "$dir" "$tree/bin" || return
  game_focus
  if game_wait_line "texSampler "; then
    [ "$muted" = 1 ] && game_key m
    xdotool key --window "$window_id" Return
    sleep 1
    click=$(recorded_seconds "$recording")
    xdotool click --window "$window_id" 1
    sleep 0.3
    xdotool click --window "$window_id" 1
    sleep 1
    xdotool key --window "$window_id" Escape
  fi
  game_wait_exit
  rm -rf "$tree"
  expect_status 0
  expect_no_sanitizer_report
  expect_sound_device "$name"
  table="$dir/levels.txt"
  "$levels" "$recording" >"$table" || fail "$name: no recording"
}

# expect_heard NAME WITHIN: a window starting within WITHIN − 0.1 s after the click is heard.
expect_heard() {
  local before after
  before=$(loudest "$table" "$(awk -v c="$click" 'BEGIN { print c - 0.4 }')" "$(awk -v c="$click" 'BEGIN { print c - 0.1 }')" 2)
  after=$(loudest "$table" "$click" "$(awk -v c="$click" -v w="$2" 'BEGIN { print c + w - 0.1 }')" 2)
  echo "$1: click at ${click} s, loudest before ${before}, after ${after}"
  expect_greater "$after" "$heard" "$1: loudest RMS within $2 s of the click"
  expect_greater "$after" "$(awk -v b="$before" 'BEGIN { print 2 * b }')" "$1: loudest RMS within $2 s of the click, against twice the engines'"
}

record shot wall_hit.wav 0
grep -qxF "Sound: cannot load ../Brakkel_game/Sounds/wall_hit.wav: missing" "$err" ||
  fail "shot: no loader line for the missing wall hit"
expect_heard shot 0.2

record hit shot.wav 0
expect_heard hit 0.4

# db A B: A over B in decibels.
db() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", 20 * log(a / b) / log(10) }'; }

record mix "" 0
shots=$(loudest "$table" "$click" "$(awk -v c="$click" 'BEGIN { print c + 0.5 }')" 4)
engines=$(loudest "$table" "$(awk -v c="$click" 'BEGIN { print c - 0.7 }')" "$(awk -v c="$click" 'BEGIN { print c - 0.2 }')" 4)
whole=$(loudest "$table" 0 1e9 4)
under=$(db "$shots" "$engines")
echo "mix: shots ${shots} ($(db "$shots" 1) dBFS), engines idling ${engines} ($(db "$engines" 1) dBFS, ${under} dB under), whole recording ${whole} ($(db "$whole" 1) dBFS)"
expect_greater "$shots" "$loudest_low" "mix: sample peak of the shots"
expect_greater "$loudest_high" "$shots" "mix: sample peak of the shots"
expect_greater "$under" "$engines_under_low" "mix: dB from the idling engines' peak to the shots'"
expect_greater "$engines_under_high" "$under" "mix: dB from the idling engines' peak to the shots'"
expect_greater 1 "$whole" "mix: sample peak of the whole recording"

record muted "" 1
expect_stdout_line "Sound off"
peak=$(loudest "$table" 0 1e9 3)
echo "muted: peak ${peak} over the whole recording"
expect_greater "$silence" "$peak" "muted: peak of the whole recording"
expect_greater "$(awk 'END { print $1 }' "$table")" 2 "muted: seconds recorded"

finish
