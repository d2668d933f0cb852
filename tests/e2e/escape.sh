#!/usr/bin/env bash
# ESC on the options screen only leaves it, however it is pressed: a tap, a press held for half a
# second, two taps in a row; the game goes on each time, back on the screen the options were
# opened from. From the end screen, O opens the options and ESC comes back to the end screen; a
# second ESC there quits with status 0.
set -u
source "$(dirname "$0")/lib.bash"
game_start "$1" "$2/escape"
sleep 2 # past the first frames, so that each key below comes in a tick of its own

alive() { kill -0 "$game_pid" 2>/dev/null || fail "the game ended: $1"; }

# From the title.
game_key o
game_key Escape
sleep 1
alive "a tap of ESC on the options screen"
game_key o
game_hold_quiet Escape 0.5
sleep 1
alive "ESC held on the options screen"
game_key o
xdotool key --window "$window_id" --delay 0 Escape Escape
sleep 1
alive "two quick taps of ESC on the options screen"
game_shot title >/dev/null

# From the end screen.
game_key Return
sleep 1
game_key l
sleep 0.5
before=$(game_shot end_screen)
game_key o
sleep 0.5
options=$(game_shot options_over_end_screen)
game_key Escape
sleep 1
alive "ESC on the options screen over the end screen"
after=$(game_shot back_on_end_screen)
# The end screen comes back as it was: its lines where they were (the picture behind is dimmed
# and still), and not the options' lines.
same=$(compare -metric AE -fuzz 3% "$before" "$after" null: 2>&1 || true)
differs=$(compare -metric AE -fuzz 3% "$before" "$options" null: 2>&1 || true)
echo "end screen against itself after the options: $same pixels differ; against the options: $differs"
expect_greater 2000 "$same" "the end screen after O and ESC"
expect_greater "$differs" 20000 "the options screen over the end screen"
game_key Escape
game_wait_exit
expect_status 0
expect_no_gl_errors
expect_no_sanitizer_report
finish
