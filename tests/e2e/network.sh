#!/usr/bin/env bash
# Two players on two X servers: `brakkel --host --port 0` on the test command's, and
# `brakkel --join 127.0.0.1:PORT` on one of its own, over loopback. The joiner takes seat 2,
# both press ENTER, a click on the joiner fires: the host prints "Shot from seat 2". ESC closes
# the joiner: the host hands its tank to the computer and plays on, then quits cleanly. Bad
# network options, and a port already taken, are refused with one line and no window.
set -u
source "$(dirname "$0")/lib.bash"
# Two llvmpipe windows share the machine's cores.
export LP_NUM_THREADS=1

game=$(realpath "$1")
server="$(dirname "$game")/brakkel-server"
refused "a port out of range" 2 "$game" --host --port 65536
refused "a port without --host" 2 "$game" --port 27500
refused "unknown rules" 2 "$game" --host --rules chess
refused "a join without a host" 2 "$game" --join :27500
refused "a join port of letters" 2 "$game" --join example.org:http
refused "a join port of 0" 2 "$game" --join 127.0.0.1:0
refused "a join port out of range" 2 "$game" --join 127.0.0.1:123456
refused "hosting and joining" 2 "$game" --host --join 127.0.0.1
refused "hosting a replay" 2 "$game" --host --replay game.bkrc
refused "a negative server port" 2 "$server" --port -1
refused "a server told to join" 2 "$server" --join 127.0.0.1
refused "no players from an address" 2 "$server" --players-per-address 0
refused "players per address without --host" 2 "$game" --players-per-address 4

game_args=(--host --port 0)
game_start "$1" "$2/network_host"
game_wait_line "Hosting on port " || finish
port=$(sed -n 's/^Hosting on port \([0-9]*\)$/\1/p' "$out")
refused "a port in use" 1 "$server" --port "$port"
grep -qF "$port" <<<"$refused_line" || fail "the refusal does not name the port"
host_pid=$game_pid host_window=$window_id host_out=$out host_err=$err
game_wait_line "Player joined seat 1" || finish

# The joiner's own X server.
host_display=$DISPLAY
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"

game_args=(--join "127.0.0.1:$port")
game_start "$1" "$2/network_join"
join_pid=$game_pid join_window=$window_id join_out=$out join_err=$err
game_wait_line "Connected to 127.0.0.1:$port"
out=$host_out game_pid=$host_pid game_wait_line "Player joined seat 2"

# Both ready: the match starts, and the joiner fires.
game_key Return
DISPLAY=$host_display xdotool key --window "$host_window" Return
sleep 2
game_shot joiner_playing >/dev/null
# A click whose command reaches the server late is lost; a starved machine may need another.
for _ in 1 2 3; do
  xdotool mousemove --window "$join_window" 512 384 click --window "$join_window" 1
  sleep 1
  grep -q '^Shot from seat 2$' "$host_out" && break
done
out=$host_out game_pid=$host_pid game_wait_line "Shot from seat 2"

# The joiner goes; the host plays on against the computer.
game_key Escape
game_wait_exit
expect_status 0
expect_no_sanitizer_report
out=$host_out game_pid=$host_pid game_wait_line "Player left seat 2: the computer takes over"
sleep 1
kill -0 "$host_pid" 2>/dev/null || fail "the host ended when the joiner left"

export DISPLAY=$host_display
game_pid=$host_pid window_id=$host_window out=$host_out err=$host_err
game_key Escape
game_wait_exit
expect_status 0
expect_no_sanitizer_report
expect_no_gl_errors
finish
