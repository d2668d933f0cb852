#!/usr/bin/env bash
# Plays the real game, a battle of eight tanks, with random input for BRAKKEL_SOAK_SECONDS (60
# by default; 600 for the long soak): driving keys, turret, jump, fire, wheel, camera drags, the display option keys,
# L and ENTER restarts. Then ESC. Checks that the game ends with status 0, reports no GL error
# and no sanitizer finding, and that its resident memory stays flat once warmed up. Prints
# the memory figures. BRAKKEL_SOAK_SEED repeats a run.
set -u
source "$(dirname "$0")/lib.bash"

seconds=${BRAKKEL_SOAK_SECONDS:-60}
seed=${BRAKKEL_SOAK_SEED:-$(date +%s)}
sample_every=5         # seconds between memory samples
warm_up=$((seconds < 120 ? seconds / 2 : 60)) # seconds before memory must stay flat
allowed_growth_kb=20480 # resident growth tolerated after the warm-up

# A small quarantine keeps freed memory from counting as growth for minutes on end.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16

mkdir -p "$XDG_CONFIG_HOME/brakkel"
printf 'mode = "battle"\ntanks = 8\n' >"$XDG_CONFIG_HOME/brakkel/settings.toml"
game_start "$1" "$2/soak"
echo "soak: $seconds s, seed $seed"
RANDOM=$seed

keys=(w s a d q e space)
toggles=(F2 F3 F4 F5 F6)
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$game_pid/status" 2>/dev/null; }

random_action() {
  local roll=$((RANDOM % 100))
  if ((roll < 45)); then
    game_hold_quiet "${keys[RANDOM % ${#keys[@]}]}" "0.$((1 + RANDOM % 9))"
  elif ((roll < 60)); then
    xdotool click --window "$window_id" 1
  elif ((roll < 70)); then
    xdotool click --window "$window_id" $((4 + RANDOM % 2))
  elif ((roll < 78)); then
    xdotool mousemove --window "$window_id" 512 384 mousedown 3 sleep 0.1 \
      mousemove --window "$window_id" $((312 + RANDOM % 400)) $((234 + RANDOM % 300)) sleep 0.1 \
      mouseup 3
  elif ((roll < 86)); then
    xdotool key --window "$window_id" "${toggles[RANDOM % ${#toggles[@]}]}"
  elif ((roll < 96)); then
    xdotool key --window "$window_id" Return
  else
    xdotool key --window "$window_id" l
  fi
}

samples=()
start=$SECONDS
next_sample=$start
while ((SECONDS - start < seconds)); do
  kill -0 "$game_pid" 2>/dev/null || break
  if ((SECONDS >= next_sample)); then
    samples+=("$((SECONDS - start)):$(rss_kb)")
    next_sample=$((next_sample + sample_every))
  fi
  random_action
done
samples+=("$((SECONDS - start)):$(rss_kb)")

xdotool key --window "$window_id" Escape 2>/dev/null
game_wait_exit
expect_status 0
expect_no_gl_errors
expect_no_sanitizer_report

echo "resident memory (s:kB): ${samples[*]}"
low=""
high=""
for sample in "${samples[@]}"; do
  t=${sample%%:*}
  kb=${sample#*:}
  if ((t < warm_up)) || [ -z "$kb" ]; then continue; fi
  if [ -z "$low" ] || ((kb < low)); then low=$kb; fi
  if [ -z "$high" ] || ((kb > high)); then high=$kb; fi
done
if [ -z "$low" ]; then
  fail "no memory samples after the warm-up of $warm_up s"
else
  echo "after $warm_up s: lowest $low kB, highest $high kB, growth $((high - low)) kB"
  ((high - low <= allowed_growth_kb)) || fail "resident memory grew by $((high - low)) kB"
fi
finish
