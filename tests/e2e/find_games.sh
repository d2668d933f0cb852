#!/usr/bin/env bash
# Games found on the local network by the real programs: `brakkel-server --name NAME` on one of
# the game's own ports and another with --no-discovery; `brakkel --join` without an address
# lists the first, not the second, and quits; then in the window G on the title shows it in the
# games list, and ENTER joins it.
set -u
source "$(dirname "$0")/lib.bash"
export LP_NUM_THREADS=1

game=$(realpath "$1")
server="$(dirname "$game")/brakkel-server"
artifacts_root=$2
mkdir -p "$artifacts_root/find_games"
first_port=27500 # the game's own, and the seven after it, which the finder asks at

# serve NAME ARGS...: a dedicated server on the first free port of the finder's range; its pid
# in server_pid, its port in port.
serve() {
  local said="$artifacts_root/find_games/$1_server.txt" name=$1
  shift
  port=""
  for try in $(seq "$first_port" $((first_port + 7))); do
    : >"$said" # emptied here: the server's own redirection may come after the first look
    "$server" --port "$try" "$@" >>"$said" 2>&1 &
    server_pid=$!
    for _ in $(seq 50); do
      grep -q "^Hosting on port $try$" "$said" && port=$try && return
      kill -0 "$server_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$server_pid" 2>/dev/null
    wait "$server_pid" 2>/dev/null
  done
  fail "$name: no port free in the finder's range"
  finish
}

serve shown --name "E2E host"
shown_pid=$server_pid
shown_port=$port
serve hidden --name "E2E hidden" --no-discovery
hidden_pid=$server_pid
hidden_port=$port
trap 'kill "$shown_pid" "$hidden_pid" 2>/dev/null' EXIT

listed="$artifacts_root/find_games/listed.txt"
started=$(date +%s%N)
timeout 20 "$game" --join >"$listed" 2>"$artifacts_root/find_games/listed_stderr.txt"
status=$?
took_ms=$((($(date +%s%N) - started) / 1000000))
echo "brakkel --join: status $status in $took_ms ms"
cat "$listed"
[ "$status" -eq 0 ] || fail "--join without an address: exit status $status"
grep -qE "^E2E host  127\.0\.0\.1:$shown_port  arena Classic  duel  0/2 players  [0-9.]+ ms$" "$listed" ||
  fail "the named server is not listed as it is"
! grep -q "E2E hidden\|:$hidden_port " "$listed" || fail "a server with --no-discovery is listed"
[ "$took_ms" -lt 5000 ] || fail "listing took $took_ms ms"
! grep -qE 'Sanitizer|runtime error:' "$artifacts_root/find_games/listed_stderr.txt" ||
  fail "sanitizer report while listing"

# In the window: G, the list, ENTER.
game_start "$game" "$artifacts_root/find_games/window"
game_key g
sleep 2
shot=$(game_shot games)
# The heading, and the first row under the columns' header (layout y 486 to 504 from the bottom).
expect_greater "$(bright_share "$shot" "500x60+262+90")" 0.02 "the heading"
expect_greater "$(bright_share "$shot" "300x18+100+236")" 0.02 "the first game's row"
game_key Return
game_wait_line "Connected to 127.0.0.1:$shown_port" || finish
for _ in $(seq 100); do
  grep -q '^Player joined seat 1' "$artifacts_root/find_games/shown_server.txt" && break
  sleep 0.1
done
grep -q '^Player joined seat 1' "$artifacts_root/find_games/shown_server.txt" ||
  fail "the server did not seat the player"
game_key Escape
game_wait_exit
expect_status 0
expect_no_sanitizer_report
kill -INT "$shown_pid" "$hidden_pid"
wait "$shown_pid" "$hidden_pid"
finish
