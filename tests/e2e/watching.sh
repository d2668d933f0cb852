#!/usr/bin/env bash
# A battle of two seats served by the real `brakkel-server`, both held by real games. A third real
# game finds every seat taken and watches: its console and the server's say so, it shows the
# battle's first line, the screen names the tank watched (small: whole across the window), and
# Right follows the other tank (the screenshots differ where the line is and in the view). Each
# game on an X server of its own, so that each has the keyboard's focus.
set -u
source "$(dirname "$0")/lib.bash"
export LP_NUM_THREADS=1

game=$(realpath "$1")
server="$(dirname "$game")/brakkel-server"
artifacts_root="$2/spectator"
mkdir -p "$artifacts_root"
refused "spectators without --host" 2 "$game" --spectators 2
refused "too many spectators" 2 "$server" --spectators 17
refused "watching without --join" 2 "$game" --watch

server_out="$artifacts_root/server.txt"
"$server" --port 0 --mode battle --tanks 2 --spectators 1 --frag-limit 99 >"$server_out" 2>&1 &
server_pid=$!
extra_pids=()
trap 'kill "$server_pid" "${extra_pids[@]}" 2>/dev/null' EXIT
for _ in $(seq 100); do grep -q '^Hosting on port ' "$server_out" && break; sleep 0.1; done
port=$(sed -n 's/^Hosting on port \([0-9]*\)$/\1/p' "$server_out")
[ -n "$port" ] || { echo "FAIL: the server did not host"; cat "$server_out"; exit 1; }

# own_display: a new X server, made the current DISPLAY.
own_display() {
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset 3>"$display_file" >/dev/null 2>&1 &
  extra_pids+=($!)
  for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$display_file")"
  rm -f "$display_file"
}

game_args=(--join "127.0.0.1:$port")
first_display=$DISPLAY
game_start "$1" "$artifacts_root/first"
first_pid=$game_pid first_window=$window_id first_out=$out first_err=$err
game_wait_line "Connected to 127.0.0.1:$port" || finish

own_display
second_display=$DISPLAY
game_start "$1" "$artifacts_root/second"
second_pid=$game_pid second_window=$window_id second_out=$out second_err=$err
game_wait_line "Connected to 127.0.0.1:$port" || finish

# Both seats are people's: the third game watches.
own_display
game_start "$1" "$artifacts_root/third"
game_wait_line "Connected to 127.0.0.1:$port" || finish
game_wait_line "Every seat is taken: watching" || finish
grep -qxF "Spectator joined: every seat is taken" "$server_out" ||
  fail "the server did not take a spectator"
[ "$(grep -c '^Player joined seat ' "$server_out")" -eq 2 ] || fail "not two players seated"

# The players start the battle; the spectator is shown it.
DISPLAY=$first_display xdotool key --window "$first_window" Return
DISPLAY=$second_display xdotool key --window "$second_window" Return
game_wait_line "Battle: 2 tanks, first to 99 frags" || finish
sleep 2
watched_first=$(game_shot watching_first)
game_key Right
sleep 1
watched_second=$(game_shot watching_second)
# The line naming the tank watched, at the top, and the view behind it.
line_changed=$(convert "$watched_first" "$watched_second" -crop 1024x50+0+170 +repage \
  -compose difference -composite -colorspace Gray -threshold 30% -format '%[fx:mean]' info:)
view_changed=$(convert "$watched_first" "$watched_second" -compose difference -composite \
  -colorspace Gray -threshold 10% -format '%[fx:mean]' info:)
echo "Right: share of the watched line changed $line_changed, of the view $view_changed"
expect_greater "$line_changed" 0.002 "pixels of the watched line Right changed"
expect_greater "$view_changed" 0.05 "pixels of the view Right changed"
expect_no_text_at_edges "$watched_second" 170 50 "the watched line"

# The spectator leaves; then the players.
game_key Escape
game_wait_exit
expect_status 0
expect_no_sanitizer_report
expect_no_gl_errors
for _ in $(seq 50); do grep -q '^Spectator left$' "$server_out" && break; sleep 0.1; done
grep -qxF "Spectator left" "$server_out" || fail "the server did not see the spectator go"
for player in second first; do
  eval "export DISPLAY=\$${player}_display"
  eval "game_pid=\$${player}_pid window_id=\$${player}_window out=\$${player}_out err=\$${player}_err"
  game_key Escape
  game_wait_exit
  expect_status 0
  expect_no_sanitizer_report
done
kill -INT "$server_pid"
wait "$server_pid"
grep -qxF "Server stopped" "$server_out" || fail "the server did not say it stopped"
finish
