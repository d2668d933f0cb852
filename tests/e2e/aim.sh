#!/usr/bin/env bash
# Mouse aim in the real game, chosen in settings.toml: in a match the pointer is captured, and
# moving it right by 200 pixels turns the turret right, at most 100 degrees a second, to 30
# degrees (0.15 a pixel), while the hull keeps its heading; W then drives the hull's way, not
# the camera's. The game records itself, and the recording, played back by the game's own code,
# gives every tick's headings and place. The screenshot with the crosshair is kept in the
# artefacts (aim/looking_right.png).
set -u
source "$(dirname "$0")/lib.bash"

binary=$(realpath "$1")
poses_tool="$(dirname "$binary")/brakkel_recording_poses"
mkdir -p "$XDG_CONFIG_HOME/brakkel"
echo 'aim = "mouse"' >"$XDG_CONFIG_HOME/brakkel/settings.toml"
recording=$(mktemp --suffix=.bkrc)
game_args=(--record "$recording")
game_start "$1" "$2/aim"

game_key Return
sleep 1
# 50 moves of 4 pixels: each under the X server's threshold for pointer acceleration.
for _ in $(seq 50); do
  xdotool mousemove_relative -- 4 0
  sleep 0.02
done
sleep 1.5
game_shot looking_right >/dev/null
game_hold w 1
game_key Escape
game_wait_exit
expect_status 0
expect_no_gl_errors
expect_no_sanitizer_report

poses="$artifacts/poses.txt"
"$poses_tool" "$recording" >"$poses" || fail "the recording does not play back"
rm -f "$recording"
# TICK RUNNING HULL TURRET X Z, while the match runs.
report=$(awk '
  $2 == 1 && NF == 6 {
    n++
    if (n == 1) { hull = $3; x0 = $5; z0 = $6 }
    if ($3 != hull) hullTurned = 1
    if (n > 1) {
      step = $4 - turret
      if (step > 0.0001) turnedLeft = 1
      if (-step > most) most = -step
      if ((x != $5 || z != $6) && !moving) { moving = 1; settled = turret; mx = x; mz = z }
    }
    turret = $4; x = $5; z = $6
  }
  END {
    printf "%d %d %d %.4f %.4f %.4f %.4f %.4f\n", n, hullTurned, turnedLeft, most, settled, \
      x - mx, z - mz, hull
  }' "$poses")
read -r ticks hull_turned turned_left most settled dx dz hull <<<"$report"
echo "aim: $ticks ticks of match; the turret settled at $settled degrees, at most $most a tick;" \
  "W moved the tank by ($dx, $dz) with the hull at $hull"
expect_greater "$ticks" 120 "ticks of match in the recording"
[ "$hull_turned" -eq 0 ] || fail "the hull turned"
[ "$turned_left" -eq 0 ] || fail "the turret turned left"
# 100 degrees a second is 1.6667 a tick.
expect_greater 1.6668 "$most" "the turret's fastest tick"
expect_greater "$settled" -31.5 "the turret's turn right"
expect_greater -28.5 "$settled" "the turret's turn right"
# Forward along the hull (heading 0 looks along -z), nothing sideways.
expect_greater -1 "$dz" "the drive along the hull"
awk -v dx="$dx" 'BEGIN { exit !(dx < 0.01 && dx > -0.01) }' || fail "W drove sideways by $dx"
finish
