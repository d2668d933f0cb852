#!/usr/bin/env bash
# A join that fails shows its reason in the window and waits: `brakkel --join` to a port where
# nothing listens says "Cannot connect to 127.0.0.1:PORT", and to a server whose two seats are
# taken "Server full", each on the console as always and in the window under "CANNOT JOIN",
# centred; the game stays until ESC, which quits with status 0.
set -u
source "$(dirname "$0")/lib.bash"
# Several llvmpipe windows share the machine's cores.
export LP_NUM_THREADS=1

game=$(realpath "$1")
server="$(dirname "$game")/brakkel-server"

# serve NAME: a dedicated server on a free port; its pid in server_pid, its port in port.
serve() { # NAME ARTIFACTS [OPTION...]
  local said="$2/$1_server.txt"
  "$server" --port 0 "${@:3}" >"$said" 2>&1 &
  server_pid=$!
  port=""
  for _ in $(seq 100); do
    port=$(sed -n 's/^Hosting on port \([0-9]*\)$/\1/p' "$said")
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || { fail "$1: the server did not start"; finish; }
}

# expect_reason SHOT REASON: the window shows the headline, and the reason centred on its line
# at the size that fits (30 px, or smaller for a long one), glyphs 0.8 of that wide.
expect_reason() {
  local shot=$1 reason=$2 size width left right top
  size=$((1000 * 10 / (8 * ${#reason})))
  [ "$size" -gt 30 ] && size=30
  width=$((${#reason} * size * 8 / 10))
  left=$(((1024 - width) / 2))
  right=$((left + width))
  top=$((768 - 440 - size))
  expect_greater "$(bright_share "$shot" "400x75+312+203")" 0.02 "the headline"
  expect_greater "$(bright_share "$shot" "16x${size}+$left+$top")" 0.02 "the reason's first letters"
  expect_greater "$(bright_share "$shot" "16x${size}+$((right - 16))+$top")" 0.02 \
    "the reason's last letters"
  expect_greater 0.0001 "$(bright_share "$shot" "16x${size}+$((left - 40))+$top")" \
    "text before the reason"
  expect_greater 0.0001 "$(bright_share "$shot" "16x${size}+$((right + 24))+$top")" \
    "text after the reason"
}

# refused_join NAME REASON: joins 127.0.0.1:$port, waits for REASON on the console, then checks
# the window and that the game waits for ESC.
refused_join() {
  game_args=(--join "127.0.0.1:$port")
  game_start "$game" "$artifacts_root/$1"
  game_wait_line "$2" || return
  sleep 2
  kill -0 "$game_pid" 2>/dev/null || fail "$1: the game ended by itself"
  expect_reason "$(game_shot "$1")" "$2"
  game_key Escape
  game_wait_exit
  expect_status 0
  expect_no_sanitizer_report
}
artifacts_root=$2
mkdir -p "$artifacts_root" # the servers' consoles go there before any game's artefacts

# Nothing listens: a server's port, the server gone.
serve gone "$artifacts_root"
kill -INT "$server_pid"
wait "$server_pid"
refused_join join_nobody "Cannot connect to 127.0.0.1:$port"

# Both seats taken, and no room to watch.
serve full "$artifacts_root" --spectators 0
trap 'kill "$server_pid" 2>/dev/null' EXIT
seated=()
for seat in 1 2; do
  game_args=(--join "127.0.0.1:$port")
  game_start "$game" "$artifacts_root/join_seat_$seat"
  xdotool windowsize "$window_id" 160 120
  game_wait_line "Connected to 127.0.0.1:$port" || finish
  seated+=("$game_pid")
done
for _ in $(seq 100); do
  [ "$(grep -c '^Player joined seat' "$artifacts_root/full_server.txt")" -ge 2 ] && break
  sleep 0.1
done
refused_join join_full "Server full"
for pid in "${seated[@]}"; do
  kill -TERM "$pid"
  wait "$pid"
done
finish
