#!/usr/bin/env bash
# A battle served by the real `brakkel-server --mode battle --tanks 4`: two real games join, one
# on the test command's X server and one on its own, the computer drives the other two tanks.
# Every console says the battle's first line, the frags appear on both games' consoles and on
# their TAB scoreboards (screenshots), and the names are made unique ("Player", "Player 2").
set -u
source "$(dirname "$0")/lib.bash"
export LP_NUM_THREADS=1

game=$(realpath "$1")
server="$(dirname "$game")/brakkel-server"
artifacts_root="$2/network_battle"
mkdir -p "$artifacts_root"
refused "a battle of nine" 2 "$server" --mode battle --tanks 9
refused "a game mode unknown" 2 "$server" --mode siege
refused "battle options without --host" 2 "$game" --mode battle

server_out="$artifacts_root/server.txt"
"$server" --port 0 --mode battle --tanks 4 --frag-limit 99 --skill ace >"$server_out" 2>&1 &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null' EXIT
for _ in $(seq 100); do grep -q '^Hosting on port ' "$server_out" && break; sleep 0.1; done
port=$(sed -n 's/^Hosting on port \([0-9]*\)$/\1/p' "$server_out")
[ -n "$port" ] || { echo "FAIL: the server did not host"; cat "$server_out"; exit 1; }

game_args=(--join "127.0.0.1:$port")
game_start "$1" "$artifacts_root/first"
first_pid=$game_pid first_window=$window_id first_out=$out first_err=$err first_art=$artifacts
game_wait_line "Connected to 127.0.0.1:$port" || finish

host_display=$DISPLAY
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$server_pid" "$xvfb_pid" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"
game_start "$1" "$artifacts_root/second"
second_pid=$game_pid second_window=$window_id second_out=$out second_err=$err second_art=$artifacts
game_wait_line "Connected to 127.0.0.1:$port" || finish

# Both ready: the battle starts on the server and on both games.
game_key Return
DISPLAY=$host_display xdotool key --window "$first_window" Return
for _ in $(seq 100); do grep -q '^Battle: 4 tanks' "$server_out" && break; sleep 0.1; done
grep -qxF "Battle: 4 tanks, first to 99 frags" "$server_out" || fail "the server did not start the battle"
for console in "$first_out" "$second_out"; do
  out=$console game_wait_line "Battle: 4 tanks, first to 99 frags"
done

# The computer's Aces frag within a minute or two; each game prints every frag by name.
for _ in $(seq 1800); do
  grep -q ' destroyed ' "$first_out" && grep -q ' destroyed ' "$second_out" && break
  sleep 0.1
done
grep -q ' destroyed ' "$first_out" || fail "no frag on the first game's console"
grep -q ' destroyed ' "$second_out" || fail "no frag on the second game's console"
frag=$(grep -m 1 ' destroyed ' "$server_out")
grep -qxF -- "$frag" "$first_out" || fail "the first game did not print '$frag'"
grep -qxF -- "$frag" "$second_out" || fail "the second game did not print '$frag'"

# TAB: the scoreboard over the battle, on both games; the place of its header and four lines
# changes while TAB is held.
scoreboard() { # DISPLAY WINDOW ARTIFACTS NAME
  local plain board changed
  plain=$(artifacts=$3 window_id=$2 DISPLAY=$1 game_shot "$4_plain")
  DISPLAY=$1 xdotool keydown --window "$2" Tab
  sleep 0.6
  board=$(artifacts=$3 window_id=$2 DISPLAY=$1 game_shot "$4_scoreboard")
  DISPLAY=$1 xdotool keyup --window "$2" Tab
  changed=$(convert "$plain" "$board" -crop 880x150+72+160 +repage -compose difference \
    -composite -colorspace Gray -threshold 30% -format '%[fx:mean]' info:)
  echo "$4 scoreboard: share of its place changed by TAB $changed"
  expect_greater "$changed" 0.02 "$4: pixels the scoreboard changed"
}
scoreboard "$host_display" "$first_window" "$first_art" first
scoreboard "$DISPLAY" "$second_window" "$second_art" second

# Both leave; the server says each seat goes back to the computer, and stops on SIGINT.
game_pid=$second_pid window_id=$second_window out=$second_out err=$second_err
game_key Escape
game_wait_exit
expect_status 0
expect_no_sanitizer_report
export DISPLAY=$host_display
game_pid=$first_pid window_id=$first_window out=$first_out err=$first_err
game_key Escape
game_wait_exit
expect_status 0
expect_no_sanitizer_report
expect_no_gl_errors
kill -INT "$server_pid"
wait "$server_pid"
grep -qxF "Server stopped" "$server_out" || fail "the server did not say it stopped"
[ "$(grep -c '^Player left seat ' "$server_out")" -eq 2 ] || fail "both seats not handed back"
finish
