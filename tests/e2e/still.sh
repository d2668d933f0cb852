#!/usr/bin/env bash
# A frozen world stands still in the real game: screenshots of the end screen of a match ended
# with L while the player drove and turned, taken one after the other, are identical pixel for
# pixel. (The title shows the computer playing itself, so it moves.) Also checks that the start-up lines come in the order
# the game reads its files: fonts and text, textures, the background, lit and shadow programs
# with the shadow map's line, the final pass, models, the particle programs, the background's
# sampler line, then the radar's program and the sound's line, which the game gained later.
set -u
source "$(dirname "$0")/lib.bash"
game_start "$1" "$2/still"

# expect_still NAME: six screenshots in a row, each compared with the first.
expect_still() {
  local first shot differing i
  first=$(game_shot "$1_0")
  for i in 1 2 3 4 5; do
    shot=$(game_shot "$1_$i")
    differing=$(compare -metric AE -fuzz 2% "$first" "$shot" null: 2>&1)
    [ "$differing" = "0" ] || fail "$1: screenshot $i differs from the first in $differing pixels"
  done
  echo "$1: six screenshots alike"
}

sleep 8 # the start-up's messages (no sound device here) have faded by then
game_key Return
sleep 1
xdotool keydown --window "$window_id" w a
sleep 1
game_key l
sleep 1
expect_still end
xdotool keyup --window "$window_id" w a
game_key Escape
game_wait_exit
expect_status 0
expect_no_gl_errors

shader() { echo "Compiling shader : ../Brakkel_game/Shaders/$1"; }
order=("$(shader text.vert)" "$(shader text.frag)" "$(shader background.vert)"
  "$(shader background.frag)" "$(shader lambertphong.vert)" "$(shader lambertphong.frag)"
  "$(shader shadow.vert)" "$(shader shadow.frag)" "SM FBO created successfully"
  "$(shader final.vert)" "$(shader final.frag)" "Init particle Shaders: 0" "texSampler "
  "$(shader radar.vert)" "$(shader radar.frag)")
grep -q '^Sound: ' "$out" && order+=("Sound: ")
previous=0
for line in "${order[@]}"; do
  at=$(grep -n -m 1 -F -- "$line" "$out" | cut -d: -f1)
  if [ -z "$at" ]; then
    fail "no start-up line '$line'"
  elif [ "$at" -le "$previous" ]; then
    fail "start-up line '$line' (line $at) comes before the one listed ahead of it (line $previous)"
  else
    previous=$at
  fi
done
finish
