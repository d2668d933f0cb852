#!/usr/bin/env bash
# A battle of eight tanks on one machine, set up on the options screen: right after ENTER the
# radar shows every tank at its spawn point in its seat's colour, the console says how the
# battle is played, the names float over the tanks in sight, TAB shows the scoreboard, and the
# settings keep the battle for the next run. The screenshots stay among the test artefacts.
set -u
source "$(dirname "$0")/lib.bash"
file="$XDG_CONFIG_HOME/brakkel/settings.toml"

# radar_pixel X Z: the screenshot column and row where the world point (X, Z) lands while the
# camera looks along -z (as radar.sh works it out).
radar_pixel() {
  awk -v x="$1" -v z="$2" 'BEGIN {
    scale = 92 / (20.3 * sqrt(2))
    printf "%d %d\n", 908 + scale * (x - 10), 768 - (176 - scale * (z + 10)) }'
}
shows() {
  convert "$1" -format "%[fx:round(255*p{$2,$3}.r)] %[fx:round(255*p{$2,$3}.g)] %[fx:round(255*p{$2,$3}.b)]" info: |
    awk -v r="$4" -v g="$5" -v b="$6" '{ exit !(($1-r)^2 <= 16 && ($2-g)^2 <= 16 && ($3-b)^2 <= 16) }'
}

# The eight spawn points (x z) and the seats' radar colours, in seat order.
spawns=("0 5" "0 -5" "7.5 -7.5" "-7.5 7.5" "26 6" "14 -26" "26.5 -16" "14 -4.5")
colours=("64 204 255" "255 107 41" "102 242 77" "204 128 255" "255 235 64" "255 64 77"
  "77 255 230" "255 140 217")

# One key at a time, a frame or more apart: taps of one key between two frames count once.
menu_keys() {
  local key
  for key in "$@"; do
    game_key "$key"
    sleep 0.3
  done
}

# The computer's tanks wait 100 steps (1.7 s) at their spawn points before they drive, unless
# one backs away at random first: a game where one moved before the screenshot is played again.
for attempt in 1 2 3; do
  game_start "$1" "$2/battle"
  sleep 1
  if [ "$attempt" -eq 1 ]; then
    # Mode is the twelfth line: Battle; the tanks up from 4 to 8; the computers Classic, who
    # wait at their spawn points; O leaves the screen.
    menu_keys o Down Down Down Down Down Down Down Down Down Down Down Right Down Right Right \
      Right Right Down Down Left Left o
  fi
  game_key Return
  shown=$(game_shot radar)
  if [ "$attempt" -eq 3 ] || ! grep -qE '^RAND\. DESTUCK' "$out"; then
    break
  fi
  echo "attempt $attempt: a computer's tank moved before the screenshot"
  game_key Escape
  game_wait_exit
done
grep -q '^mode = "battle"' "$file" || fail "the battle was not kept in the settings"
grep -q '^tanks = 8 ' "$file" || fail "eight tanks were not kept in the settings"
grep -q '^battle_skill = "classic"' "$file" || fail "the computers' skill was not kept"
expect_stdout_line "Battle: 8 tanks, first to 10 frags"

for seat in 0 1 2 3 4 5 6 7; do
  read -r column row < <(radar_pixel ${spawns[$seat]})
  shows "$shown" "$column" "$row" ${colours[$seat]} ||
    fail "seat $((seat + 1))'s mark is not at ($column, $row) in ${colours[$seat]}"
done

# The scoreboard while TAB is held: the middle of the window changes.
sleep 1
plain=$(game_shot plain)
xdotool keydown --window "$window_id" Tab
sleep 0.6
board=$(game_shot scoreboard)
xdotool keyup --window "$window_id" Tab
changed=$(convert "$plain" "$board" -crop 880x260+72+168 +repage -compose difference -composite \
  -colorspace Gray -threshold 30% -format '%[fx:mean]' info:)
echo "scoreboard: share of its place changed by TAB $changed"
expect_greater "$changed" 0.02 "pixels the scoreboard changed"

# A few seconds of battle: frags are said by name.
sleep 8
game_shot later >/dev/null
game_key Escape
game_wait_exit
expect_status 0
expect_no_gl_errors
expect_no_sanitizer_report
grep -E ' destroyed ' "$out" | head -n 3
finish
