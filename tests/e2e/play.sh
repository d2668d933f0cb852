#!/usr/bin/env bash
# Plays a short match of the real game like a person would: title screen, ENTER, driving,
# turret, jump, fire, zoom and orbit, L to end the match, ENTER to restart, the display
# option keys, ESC. Checks the console and screenshots of the three screens, which stay
# among the test artefacts.
set -u
source "$(dirname "$0")/lib.bash"
game_start "$1" "$2/play"

# Text rectangles in the 1024 x 768 window, top-left origin: the title headline, the end
# headline and the lives line.
title_text=420x75+200+243
end_text=420x75+200+203
lives_text=700x50+10+708

sleep 2
title=$(game_shot title)

game_key Return
sleep 1.5
first=$(game_shot first)
xdotool click --window "$window_id" --repeat 5 --delay 150 4
game_hold w 0.8
game_hold a 0.4
game_hold q 0.4
sleep 1
play=$(game_shot play)

game_hold d 0.4
game_hold e 0.4
game_key space
xdotool click --window "$window_id" 1
sleep 0.4
xdotool click --window "$window_id" 1
xdotool click --window "$window_id" --repeat 2 --delay 150 5
xdotool mousemove --window "$window_id" 512 384 mousedown 3
sleep 0.3
xdotool mousemove --window "$window_id" 600 350
sleep 0.5
xdotool mouseup 3
sleep 0.5

game_key l
sleep 1.5
end=$(game_shot end)

game_key Return
sleep 1
game_key F2 F3 F4 F5
sleep 1
game_key Escape
game_wait_exit

expect_status 0
expect_no_gl_errors
for line in "SM FBO created successfully" "Init particle Shaders: 0" "RESTART GAME" \
  "Toggle FrameRate" "Toggle WireFrame" "Textur-Sampling-Quality: Nearest Neighbor" \
  "Using Mip Maps: nearest neighbour"; do
  expect_stdout_line "$line"
done

# The first match frame looks at the player's tank from inside the arena: the middle of the
# picture is the tank's camouflage, not the grey back of a wall.
centre=240x160+392+360
echo "first match frame, middle: saturation $(image_saturation "$first" $centre)"
expect_greater "$(image_saturation "$first" $centre)" 0.13 "the tank in the middle of the first frame"

# The end screen's lines lie inside the window: no white glyph stroke at its left or right edge.
echo "end screen: white at the edges $(bright_share "$end" 4x560+0+200) $(bright_share "$end" 4x560+1020+200)"
expect_no_text_at_edges "$end" 200 560 "end screen"

title_mean=$(image_mean "$title")
play_mean=$(image_mean "$play")
end_mean=$(image_mean "$end")
echo "brightness: title $title_mean, play $play_mean, end $end_mean; play spread $(image_spread "$play")"
expect_greater "$play_mean" "$title_mean" "play brighter than the title"
expect_greater "$play_mean" "$end_mean" "play brighter than the end screen"
expect_greater "$play_mean" 0.15 "the match frame is lit"
expect_greater "$(image_spread "$play")" 0.08 "the match frame shows something"

echo "text: title $(bright_share "$title" $title_text), end $(bright_share "$end" $end_text)," \
  "lives $(bright_share "$play" $lives_text)"
expect_greater "$(bright_share "$title" $title_text)" 0.1 "title headline drawn"
expect_greater "$(bright_share "$end" $end_text)" 0.1 "end headline drawn"
expect_greater "$(bright_share "$play" $lives_text)" 0.05 "lives line drawn"
# Outside the text the darkened screens hold almost no near-white pixel.
expect_greater 0.02 "$(bright_share "$title" 1024x150+0+600)" "title screen without text below"
finish
