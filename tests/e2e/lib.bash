# Helpers for driving the real game like a player: start it, find its window, send input,
# take screenshots and check its console. Runs inside the X server of the test command.

failures=0
game_pid=""
window_id=""

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# game_start BINARY ARTIFACT_DIR: starts the game in the background, output captured, and
# waits until its window is mapped.
game_start() {
  artifacts=$2
  mkdir -p "$artifacts"
  out="$artifacts/stdout.txt"
  err="$artifacts/stderr.txt"
  "$1" >"$out" 2>"$err" &
  game_pid=$!
  for _ in $(seq 1 600); do
    window_id=$(xdotool search --onlyvisible --name '^Brakkel$' 2>/dev/null | head -n 1)
    [ -n "$window_id" ] && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window_id" ]; then
    fail "no window titled Brakkel appeared"
    cat "$err"
    kill "$game_pid" 2>/dev/null
    exit 1
  fi
  xdotool windowfocus --sync "$window_id" 2>/dev/null || true
  xdotool mousemove --window "$window_id" 512 384
  sleep 0.5
}

game_key() { xdotool key --window "$window_id" --delay 120 "$@"; sleep 0.3; }
game_hold() { xdotool keydown --window "$window_id" "$1"; sleep "$2"; xdotool keyup --window "$window_id" "$1"; sleep 0.2; }

# game_wait_exit: waits up to 30 s for the game to end and records its status.
game_wait_exit() {
  for _ in $(seq 1 300); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$game_pid" 2>/dev/null; then
    fail "the game did not end"
    kill -9 "$game_pid"
  fi
  wait "$game_pid"
  game_status=$?
}

expect_status() { [ "$game_status" -eq "$1" ] || fail "exit status $game_status, expected $1"; }
expect_no_gl_errors() { ! grep -q 'Error @' "$err" || fail "GL error reported: $(grep -A1 'Error @' "$err" | head -n 4)"; }
expect_stdout_line() { grep -qxF -- "$1" "$out" || fail "no line '$1' on standard output"; }

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "--- stdout"; tail -n 40 "$out"; echo "--- stderr"; tail -n 40 "$err"
    exit 1
  fi
  echo "e2e passed"
}
