#!/usr/bin/env bash
# The real `brakkel-server --arena maze` sends its arena to two real games, one on the test
# command's X server and one on its own: each says it plays the server's maze, keeps the file in
# its own cache under the arena's hash, and shows the maze when the match starts (screenshots of
# both): its picture is far from a match's start on the built-in arena and near the maze's own,
# played alone with --arena maze. A name that is no arena file gives one line and the built-in
# arena.
set -u
source "$(dirname "$0")/lib.bash"
export LP_NUM_THREADS=1

game=$(realpath "$1")
server="$(dirname "$game")/brakkel-server"
root="$2/server_arena"
mkdir -p "$root"

# The pictures to measure against: a match's start played alone on each arena.
match_start() { # NAME ARGS...
  local name=$1
  shift
  game_args=("$@")
  game_start "$game" "$root/$name"
  sleep 3
  game_key Return
  sleep 1.5
  shot=$(game_shot match)
  game_key l
  sleep 0.5
  game_key Escape
  game_wait_exit
  expect_status 0
}
match_start alone_classic
classic_shot=$shot
match_start alone_maze --arena maze
maze_shot=$shot

# A name of no arena file: one line, and the server plays the built-in arena.
missing_out="$root/missing.txt"
timeout 2 "$server" --port 0 --arena nowhere >"$missing_out" 2>&1
grep -qxF "Arena: nowhere: file: missing; playing Classic instead" "$missing_out" ||
  fail "the server said otherwise of a missing arena: $(head -c 300 "$missing_out")"

server_out="$root/server.txt"
"$server" --port 0 --arena maze >"$server_out" 2>&1 &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null' EXIT
for _ in $(seq 100); do grep -q '^Hosting on port ' "$server_out" && break; sleep 0.1; done
port=$(sed -n 's/^Hosting on port \([0-9]*\)$/\1/p' "$server_out")
[ -n "$port" ] || { echo "FAIL: the server did not host"; cat "$server_out"; exit 1; }
grep -qxF "Arena: Maze by Brakkel" "$server_out" || fail "the server did not name its arena"

game_args=(--join "127.0.0.1:$port")
game_start "$game" "$root/first"
first_pid=$game_pid first_window=$window_id first_out=$out first_err=$err first_art=$artifacts
game_wait_line "Connected to 127.0.0.1:$port" || finish

host_display=$DISPLAY
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$server_pid" "$xvfb_pid" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"
game_start "$game" "$root/second"
second_pid=$game_pid second_window=$window_id second_out=$out second_err=$err
second_art=$artifacts
game_wait_line "Connected to 127.0.0.1:$port" || finish

for console in "$first_out" "$second_out"; do
  grep -qxF "Arena: Maze by Brakkel, from the server" "$console" ||
    fail "a game did not say it plays the server's maze"
done
kept=$(ls "$XDG_CACHE_HOME/brakkel/arenas/")
echo "kept in the cache: $kept"
[[ "$kept" =~ ^[0-9a-f]{16}\.toml$ ]] || fail "not one file named by a hash in the cache: '$kept'"

# Both ready: the match starts on the maze.
game_key Return
DISPLAY=$host_display xdotool key --window "$first_window" Return
sleep 2.5
first_shot=$(artifacts=$first_art window_id=$first_window DISPLAY=$host_display game_shot playing)
second_shot=$(artifacts=$second_art game_shot playing)

differing() {
  convert "$1" "$2" -compose difference -composite -colorspace Gray -threshold 10% \
    -format '%[fx:mean]' info:
}
from_classic=$(differing "$first_shot" "$classic_shot")
from_maze=$(differing "$first_shot" "$maze_shot")
echo "the first game's match start: unlike the built-in arena's $from_classic, unlike the maze's $from_maze"
expect_greater "$from_classic" 0.2 "pixels of the served match unlike the built-in arena's"
expect_greater "$from_classic" "$(awk -v a="$from_maze" 'BEGIN { print 2 * a }')" \
  "unlike the built-in arena's against twice unlike the maze's"
second_from_classic=$(differing "$second_shot" "$classic_shot")
echo "the second game's match start: unlike the built-in arena's $second_from_classic"
expect_greater "$second_from_classic" 0.2 "pixels of the second game's match unlike the built-in arena's"

# Both leave cleanly; the server stops on SIGINT.
for who in second first; do
  if [ "$who" = first ]; then
    export DISPLAY=$host_display
    game_pid=$first_pid window_id=$first_window out=$first_out err=$first_err
  fi
  game_key Escape
  game_wait_exit
  expect_status 0
  expect_no_sanitizer_report
  expect_no_gl_errors
done
kill -INT "$server_pid"
wait "$server_pid"
[ "$?" -eq 0 ] || fail "the server did not stop cleanly"
finish
