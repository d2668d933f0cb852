#!/usr/bin/env bash
# The real game's window: resized to 1600 x 900 the scene fills it, every text stays inside and
# the radar keeps to the bottom-right corner, above the lives; F11 makes it cover the whole X
# screen and F11 again brings back 1600 x 900; a resize to 1 x 1 and back raises no GL error.
set -u
source "$(dirname "$0")/lib.bash"
game_start "$1" "$2/window"

geometry() { xdotool getwindowgeometry "$window_id" | sed -n 's/.*Geometry: //p'; }
# colour_pixels FILE GEOMETRY COLOUR: how many pixels of the part are close to the colour.
colour_pixels() {
  convert "$1" -crop "$2" +repage -fuzz 12% -fill white -opaque "$3" -fill black +opaque white \
    -colorspace Gray -format '%[fx:round(mean*w*h)]' info:
}

game_key Return
sleep 1
xdotool windowsize "$window_id" 1600 900
sleep 1.5
[ "$(geometry)" = "1600x900" ] || fail "resized to $(geometry), not 1600x900"
shot=$(game_shot resized)
[ "$(identify -format '%wx%h' "$shot")" = "1600x900" ] || fail "the screenshot is not 1600x900"
# The scene reaches every edge: no strip along one is black.
for strip in 8x900+0+0 8x900+1592+0 1600x8+0+0 1600x8+0+892; do
  expect_greater "$(image_mean "$shot" "$strip")" 0.05 "the scene at the edge $strip"
done
# No glyph stroke at the left or right edge, top to bottom.
expect_greater 0.0001 "$(bright_share "$shot" 4x900+0+0)" "text at the left edge"
expect_greater 0.0001 "$(bright_share "$shot" 4x900+1596+0)" "text at the right edge"
# The radar, scaled by 900/768 and kept to the bottom-right corner: the player's light-blue kite
# is inside its square there (its bottom 76 layout pixels above the window's), and nothing of
# that colour in the same square at the top-right, where it used to be.
radar=234x234+1347+577
kite=$(colour_pixels "$shot" $radar 'rgb(64,204,255)')
echo "radar: $kite light-blue pixels in the bottom-right square"
expect_greater "$kite" 10 "the player's kite on the radar in the corner"
expect_greater 3 "$(colour_pixels "$shot" 234x234+1347+19 'rgb(64,204,255)')" "a radar at the top-right"

game_key F11
sleep 1.5
screen=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p')
[ "$(geometry)" = "$screen" ] || fail "fullscreen is $(geometry), the X screen $screen"
full=$(game_shot fullscreen)
expect_greater "$(image_mean "$full" "8x${screen#*x}+0+0")" 0.05 "the scene at the screen's left edge"
game_key F11
sleep 1.5
[ "$(geometry)" = "1600x900" ] || fail "back from fullscreen at $(geometry), not 1600x900"

xdotool windowsize "$window_id" 1 1
sleep 1
xdotool windowsize "$window_id" 1024 768
sleep 1
[ "$(geometry)" = "1024x768" ] || fail "back at $(geometry), not 1024x768"
game_key Escape
game_wait_exit
expect_status 0
expect_no_gl_errors
finish
