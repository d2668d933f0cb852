#!/usr/bin/env bash
# A duel against the Ace, chosen on the options screen like a person would: the choice shows on
# the screen and is kept in the settings file; in the match the player fires a few shots and
# then holds still, and the Ace finds the player's tank and takes its five lives. None of the
# Classic opponent's console lines appears, for it is not at the wheel.
set -u
source "$(dirname "$0")/lib.bash"
file="$XDG_CONFIG_HOME/brakkel/settings.toml"
# The options screen's line of the opponent, the tenth, in the 1024 x 768 window.
opponent_line=640x30+190+406
end_text=420x75+200+203

game_start "$1" "$2/opponent"
sleep 2 # the title up and taking keys
# One key at a time, a frame or more apart: down to the opponent, on from Classic to the Ace.
for key in o Down Down Down Down Down Down Down Down Down Down Right Right Right; do
  game_key "$key"
  sleep 0.3
done
sleep 0.5
options=$(game_shot options)
game_key Escape
sleep 0.5
grep -q '^skill = "ace"' "$file" || fail "the opponent not kept: $(grep '^skill' "$file")"

game_key Return
sleep 1
xdotool click --window "$window_id" 1
sleep 0.5
xdotool click --window "$window_id" 1
# Up to two and a half minutes for the Ace to find the still tank and hit it five times.
for _ in $(seq 1 1500); do
  [ "$(grep -c '^Bullet Hits TANK' "$out")" -ge 5 ] && break
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
hits=$(grep -c '^Bullet Hits TANK' "$out")
echo "the Ace's hits on the player: $hits"
[ "$hits" -ge 5 ] || fail "the Ace hit the player $hits times in two and a half minutes"
sleep 1.5
end=$(game_shot end)
game_key Escape
game_wait_exit

expect_status 0
expect_no_gl_errors
expect_no_sanitizer_report
for line in "IDLE -> MOVE_FOR" "SHOOT" "RAND. DESTUCK"; do
  ! grep -qxF "$line" "$out" || fail "the Classic opponent's line '$line' in a duel against the Ace"
done
echo "text: opponent line $(bright_share "$options" $opponent_line), end $(bright_share "$end" $end_text)"
expect_greater "$(bright_share "$options" $opponent_line)" 0.02 "the opponent's line drawn"
expect_greater "$(bright_share "$end" $end_text)" 0.1 "the end headline drawn"
finish
