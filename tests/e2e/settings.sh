#!/usr/bin/env bash
# Settings that last: fullscreen (F11) and a volume set on the options screen hold in the next
# run; settings files with random bytes, wrong types, huge numbers or unknown keys each start
# the game with the defaults and one line each, and are left as they were.
set -u
source "$(dirname "$0")/lib.bash"
file="$XDG_CONFIG_HOME/brakkel/settings.toml"
geometry() { xdotool getwindowgeometry "$window_id" | sed -n 's/.*Geometry: //p'; }
# One key at a time, a frame or more apart: taps of one key between two frames count once.
menu_keys() {
  local key
  for key in "$@"; do
    game_key "$key"
    sleep 0.4
  done
}
screen=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p')

game_start "$1" "$2/settings_first"
[ ! -e "$file" ] || fail "a settings file before any change"
game_key F11
sleep 1
menu_keys o Down Down Down Left Escape Escape # the master volume, down a step
game_wait_exit
expect_status 0
echo "--- kept:"; cat "$file"
grep -qx 'fullscreen = true' "$file" || fail "fullscreen not kept"
grep -q '^master_volume = 90 ' "$file" || fail "the volume not kept"

# The next run starts fullscreen; a change of the radar rewrites the file from what it loaded.
game_start "$1" "$2/settings_second"
sleep 1
[ "$(geometry)" = "$screen" ] || fail "the second run is $(geometry), not fullscreen"
menu_keys o Down Down Down Down Down Down Down Down Right Escape Escape # the radar, ninth
game_wait_exit
expect_status 0
grep -qx 'radar = false' "$file" || fail "the radar's change not kept"
grep -q '^master_volume = 90 ' "$file" || fail "the volume was not loaded"
grep -qx 'fullscreen = true' "$file" || fail "fullscreen was not loaded"

# broken NAME LINES CONTENT: the game starts windowed with the defaults, says LINES lines, and
# leaves the file as it was.
broken() {
  printf '%b' "$3" >"$file"
  cp "$file" "$file.before"
  game_start "$1" "$2/settings_$name"
  sleep 0.5
  [ "$(geometry)" = "1024x768" ] || fail "$name: started at $(geometry)"
  game_key Escape
  game_wait_exit
  expect_status 0
  local said
  said=$(grep -c '^Settings: ' "$err")
  echo "$name: $said lines: $(grep '^Settings: ' "$err" | tr '\n' '|')"
  [ "$said" -eq "$4" ] || fail "$name: $said lines, expected $4"
  [ "$(grep -vc '^Settings: ' "$err")" -eq 0 ] || fail "$name: other lines on standard error"
  cmp -s "$file" "$file.before" || fail "$name: the file was rewritten"
}
binary=$1
artifacts=$2
name=random broken "$binary" "$artifacts" "$(head -c 600 /dev/urandom | od -An -tx1 | tr -d ' \n' | sed 's/../\\x&/g')" 1
name=types broken "$binary" "$artifacts" 'fullscreen = "yes"\nrender_scale = "big"\nquality = 3\n' 3
name=huge broken "$binary" "$artifacts" 'master_volume = 1000\nmouse_sensitivity = -5\nrender_scale = 99999999999999999999\n' 1
name=ranges broken "$binary" "$artifacts" 'fullscreen = false\nmaster_volume = 1000\nmouse_sensitivity = -5\n' 2
name=unknown broken "$binary" "$artifacts" 'colour = "red"\nfullscreen = false\n[extra]\nspeed = 2\n' 2
finish
