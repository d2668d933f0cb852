# Helpers for driving the real game like a player: start it, find its window, send input,
# take screenshots and check its console. Runs inside the X server of the test command.

failures=0

# The games keep their settings, find the player's arenas and keep those servers send in
# directories of this run's own, never the machine's.
XDG_CONFIG_HOME=$(mktemp -d)
XDG_DATA_HOME=$(mktemp -d)
XDG_CACHE_HOME=$(mktemp -d)
export XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME

game_pid=""
window_id=""
game_args=() # what game_launch passes the game

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# game_launch BINARY ARTIFACT_DIR [WORKDIR]: starts the game with game_args in the background in
# WORKDIR (the current directory by default), output captured, and waits until its own window
# "Brakkel" is mapped; several games may run at once. When no window appears it records a
# failure, ends the game and returns 1.
game_launch() {
  local binary
  binary=$(realpath -s "$1") # absolute, links kept: a launcher may resolve its own
  artifacts=$2
  mkdir -p "$artifacts"
  out="$artifacts/stdout.txt"
  err="$artifacts/stderr.txt"
  (cd "${3:-.}" && exec "$binary" "${game_args[@]}") >"$out" 2>"$err" &
  game_pid=$!
  window_id=""
  for _ in $(seq 1 600); do
    window_id=$(xdotool search --all --onlyvisible --pid "$game_pid" --name '^Brakkel$' 2>/dev/null | head -n 1)
    [ -n "$window_id" ] && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window_id" ]; then
    fail "no window titled Brakkel appeared"
    kill -9 "$game_pid" 2>/dev/null
    wait "$game_pid"
    game_status=$?
    return 1
  fi
}

# game_focus: focuses the game's window and puts the pointer in its middle.
game_focus() {
  xdotool windowfocus --sync "$window_id" 2>/dev/null || true
  xdotool mousemove --window "$window_id" 512 384
}

# game_start BINARY ARTIFACT_DIR: game_launch in the current directory, then focuses the
# window; ends the script when no window appears.
game_start() {
  if ! game_launch "$1" "$2"; then
    cat "$err"
    exit 1
  fi
  game_focus
  sleep 0.5
}

# staged_assets BINARY: the asset tree the build staged beside the game's bin/ directory.
staged_assets() { realpath "$(dirname "$1")/../Brakkel_game"; }

# asset_tree_copy ASSETS: a new temporary directory holding ASSETS as Brakkel_game/, in hard
# links where the file system allows (so replace a file to change it, never write into it),
# and an empty bin/ to start the game from; echoes its path.
asset_tree_copy() {
  local tree
  tree=$(mktemp -d)
  cp -al "$1" "$tree/Brakkel_game" 2>/dev/null || cp -a "$1" "$tree/Brakkel_game"
  mkdir "$tree/bin"
  echo "$tree"
}

# game_wait_line PREFIX: waits up to 60 s for a line starting with PREFIX on the game's
# standard output; records a failure and returns 1 when the game ends or hangs before it.
game_wait_line() {
  for _ in $(seq 1 600); do
    grep -q -- "^$1" "$out" && return 0
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  grep -q -- "^$1" "$out" && return 0
  fail "no line starting with '$1' on standard output"
  return 1
}

game_key() { xdotool key --window "$window_id" --delay 120 "$@"; sleep 0.3; }
game_hold() { game_hold_quiet "$1" "$2"; sleep 0.2; }
game_hold_quiet() { xdotool keydown --window "$window_id" "$1" sleep "$2" keyup --window "$window_id" "$1"; }

# game_wait_exit: waits up to 30 s for the game to end and records its status. Then lets go of
# every key the tests press: a key sent to a window that closed before its release would stay
# down in the X server, and its autorepeat would reach the next game's window.
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
  xdotool keyup Escape Return space w a s d q e l m F1 F2 F3 F4 F5 F6 2>/dev/null || true
}

expect_status() { [ "$game_status" -eq "$1" ] || fail "exit status $game_status, expected $1"; }
expect_no_gl_errors() { ! grep -q 'Error @' "$err" || fail "GL error reported: $(grep -A1 'Error @' "$err" | head -n 4)"; }
expect_no_sanitizer_report() {
  ! grep -qE 'Sanitizer|runtime error:' "$err" || fail "sanitizer report: $(grep -m 2 -E 'Sanitizer|runtime error:' "$err")"
}
expect_stdout_line() { grep -qxF -- "$1" "$out" || fail "no line '$1' on standard output"; }
# expect_sound_device [WHAT]: the game opened its sound device, OpenAL Soft's wave writer in
# these tests; WHAT prefixes the failure.
expect_sound_device() {
  ! grep -q '^Sound: no audio device' "$out" || fail "${1:+$1: }the wave writer did not open"
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "--- stdout"; tail -n 40 "$out"; echo "--- stderr"; tail -n 40 "$err"
    exit 1
  fi
  echo "e2e passed"
}

# refused WHAT STATUS COMMAND ARGS...: COMMAND exits with STATUS before it opens a window, with
# one line on standard error, which is left in refused_line.
refused_line=""
refused() {
  local what=$1 status=$2 got lines said
  shift 2
  said=$(mktemp)
  "$@" >/dev/null 2>"$said" </dev/null
  got=$?
  lines=$(wc -l <"$said")
  echo "$what: status $got: $(head -c 300 "$said")"
  [ "$got" -eq "$status" ] || fail "$what: exit status $got, expected $status"
  [ "$lines" -eq 1 ] || fail "$what: $lines lines on standard error"
  refused_line=$(cat "$said")
  rm -f "$said"
}

# game_shot NAME: saves the game window as NAME.png among the artefacts and echoes the path.
game_shot() {
  local file="$artifacts/$1.png"
  timeout 30 import -window "$window_id" "$file"
  echo "$file"
}

# image_mean FILE [GEOMETRY]: mean brightness 0..1 of the picture or of a WxH+X+Y part of it.
image_mean() {
  local crop=()
  [ $# -gt 1 ] && crop=(-crop "$2" +repage)
  convert "$1" "${crop[@]}" -colorspace Gray -format '%[fx:mean]' info:
}

# image_saturation FILE GEOMETRY: mean colour saturation 0..1 of a WxH+X+Y part of the picture.
image_saturation() {
  convert "$1" -crop "$2" +repage -colorspace HSL -channel G -separate -format '%[fx:mean]' info:
}

# image_spread FILE: standard deviation of the brightness 0..1; a flat picture gives about 0.
image_spread() { convert "$1" -colorspace Gray -format '%[fx:standard_deviation]' info:; }

# bright_share FILE GEOMETRY: share of the part's pixels brighter than 0.85 in every channel.
bright_share() {
  convert "$1" -crop "$2" +repage -channel RGB -threshold 85% -separate -evaluate-sequence min \
    -format '%[fx:mean]' info:
}

# expect_greater A B WHAT: fails unless the number A is greater than B.
expect_greater() {
  awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }' || fail "$3: $1 is not above $2"
}

# expect_no_text_at_edges FILE TOP HEIGHT WHAT: no white glyph stroke in the 4 px at the
# window's left and right edges over the rows TOP to TOP + HEIGHT; WHAT starts the failures.
expect_no_text_at_edges() {
  expect_greater 0.0001 "$(bright_share "$1" "4x$3+0+$2")" "$4 text at the left edge"
  expect_greater 0.0001 "$(bright_share "$1" "4x$3+1020+$2")" "$4 text at the right edge"
}
