#!/usr/bin/env bash
# The radar in the real game: right after ENTER it shows both tanks at their starts, turned so
# that the camera's view (along -z at the start) points up, the player's kite pointing up and
# the computer's down; F6 hides it, and shows it again. The screenshots stay among the test
# artefacts.
set -u
source "$(dirname "$0")/lib.bash"

# radar_pixel X Z: the screenshot column and row where the world point (X, Z) lands while the
# camera looks along -z (up on the radar is -z, right is +x). The radar's centre is at
# (908, 176) window pixels from the bottom-left; the arena seen from above, x from -10.3 to
# 30.3 and z from -30.3 to 10.3, fills its circle of 92 px radius.
radar_pixel() {
  awk -v x="$1" -v z="$2" 'BEGIN {
    scale = 92 / (20.3 * sqrt(2))
    printf "%d %d\n", 908 + scale * (x - 10), 768 - (176 - scale * (z + 10)) }'
}

# shows FILE COLUMN ROW R G B: the pixel holds the colour, give or take rounding.
shows() {
  convert "$1" -format "%[fx:round(255*p{$2,$3}.r)] %[fx:round(255*p{$2,$3}.g)] %[fx:round(255*p{$2,$3}.b)]" info: |
    awk -v r="$4" -v g="$5" -v b="$6" '{ exit !(($1-r)^2 <= 16 && ($2-g)^2 <= 16 && ($3-b)^2 <= 16) }'
}

expect_shows() { shows "$@" || fail "$1 ($2, $3) does not show $4 $5 $6: $7"; }
expect_not_shows() { ! shows "$@" || fail "$1 ($2, $3) shows $4 $5 $6: $7"; }

player=(64 204 255)  # RadarPass::kPlayerColour
computer=(255 107 41) # RadarPass::kComputerColour
read -r px py < <(radar_pixel 0 5)
read -r cx cy < <(radar_pixel 0 -5)

# The computer's tank waits 100 steps (1.7 s) at its start before it drives, unless it backs
# away at random first (one step in a thousand, "RAND. DESTUCK"): a game where it moved before
# the screenshot is played again, twice at most.
for attempt in 1 2 3; do
  game_start "$1" "$2/radar"
  sleep 2
  game_key Return
  shown=$(game_shot shown)
  if [ "$attempt" -eq 3 ] || ! grep -qE '^(RAND\. DESTUCK|IDLE -> )' "$out"; then
    break
  fi
  echo "attempt $attempt: the computer's tank moved before the screenshot"
  game_key Escape
  game_wait_exit
done
game_key F6
sleep 0.5
hidden=$(game_shot hidden)
game_key F6
game_key Escape
game_wait_exit

expect_status 0
expect_no_gl_errors
expect_stdout_line "Radar off"
expect_stdout_line "Radar on"

# Each kite reaches 10 px ahead of its tank and 6 px behind: turned the wrong way, the pixel
# 6 px ahead would lie at its tail's tip, half covered at most.
expect_shows "$shown" "$px" "$py" "${player[@]}" "the player's mark"
expect_shows "$shown" "$px" $((py - 6)) "${player[@]}" "the player's kite points up"
expect_shows "$shown" "$cx" "$cy" "${computer[@]}" "the computer's mark"
expect_shows "$shown" "$cx" $((cy + 6)) "${computer[@]}" "the computer's kite points down"
# Turned half round, or mirrored left to right, the marks would lie here.
expect_not_shows "$shown" $((1816 - px)) $((2 * 592 - py)) "${player[@]}" "player half turned"
expect_not_shows "$shown" $((1816 - cx)) $((2 * 592 - cy)) "${computer[@]}" "computer half turned"
expect_not_shows "$shown" $((1816 - px)) "$py" "${player[@]}" "player mirrored"
expect_not_shows "$shown" $((1816 - cx)) "$cy" "${computer[@]}" "computer mirrored"

# Hidden, the radar's square shows the scene: no mark, and most of its disc changes, the
# backdrop no longer darkening it.
expect_not_shows "$hidden" "$px" "$py" "${player[@]}" "hidden player's mark"
expect_not_shows "$hidden" "$cx" "$cy" "${computer[@]}" "hidden computer's mark"
changed=$(convert "$shown" "$hidden" -crop 200x200+808+492 +repage -compose difference -composite \
  -colorspace Gray -threshold 8% -format '%[fx:mean]' info:)
echo "radar square: share changed by hiding the radar $changed"
expect_greater "$changed" 0.4 "pixels of the radar's square changed by hiding it"
finish
