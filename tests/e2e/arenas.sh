#!/usr/bin/env bash
# Arenas from files in the real game: `--arena FILE` plays each shipped arena, its title's
# backdrop circling it and a match's start on it looking unlike the built-in arena's; a file
# that is missing gives one line and the built-in arena; a game recorded on an arena replays on
# it and is refused, with one line, on another; --arena is refused beside --join (the server
# sends its own). An arena chosen by name in the settings plays as --arena's does. The screenshots stay among the test artefacts (the README's come from them).
set -u
source "$(dirname "$0")/lib.bash"
arenas=$(staged_assets "$1")/Arenas

# play_on NAME BINARY ARTIFACTS [ARGS...]: the game with ARGS; a screenshot of its title, left in
# title_shot, and one of a match's start, in match_shot; then it quits cleanly.
play_on() {
  local name=$1 binary=$2 artifacts=$3
  shift 3
  game_args=("$@")
  game_start "$binary" "$artifacts/$name"
  sleep 3
  title_shot=$(game_shot title)
  game_key Return
  sleep 1.5
  match_shot=$(game_shot match)
  game_key l
  sleep 0.5
  game_key Escape
  game_wait_exit
  expect_status 0
  expect_no_gl_errors
  expect_no_sanitizer_report
}

# How much two screenshots differ: the share of pixels more than 10 % apart.
differing() {
  convert "$1" "$2" -compose difference -composite -colorspace Gray -threshold 10% \
    -format '%[fx:mean]' info:
}

play_on classic "$1" "$2"
classic_match=$match_shot
for name in pillars towers maze; do
  play_on "$name" "$1" "$2" --arena "$arenas/$name.toml"
  grep -q '^Arena: ' "$err" && fail "$name: $(grep '^Arena: ' "$err")"
  match=$(differing "$classic_match" "$match_shot")
  echo "$name: share of a match's start unlike the built-in arena's $match"
  expect_greater "$match" 0.2 "$name: pixels of a match's start unlike the built-in arena's"
  [ "$name" = maze ] && maze_match=$match_shot
done

# Chosen by name in settings.toml, as the options screen keeps it: the maze, as --arena gave it;
# a name whose file is gone gives one line and the built-in arena.
settings="$XDG_CONFIG_HOME/brakkel/settings.toml"
mkdir -p "$(dirname "$settings")"
echo 'arena = "maze"' >"$settings"
play_on settings_maze "$1" "$2"
grep -q '^Arena: ' "$err" && fail "the settings' maze: $(grep '^Arena: ' "$err")"
same=$(differing "$maze_match" "$match_shot")
echo "the settings' maze: share of a match's start unlike --arena maze's $same"
expect_greater 0.05 "$same" "the settings' maze against --arena maze"
echo 'arena = "gone"' >"$settings"
play_on settings_gone "$1" "$2"
expect_line="Arena: gone: no such arena file in the arena folders; playing Classic instead"
grep -qxF -- "$expect_line" "$err" || fail "no line '$expect_line' on standard error"
same=$(differing "$classic_match" "$match_shot")
echo "a settings' arena gone: share of a match's start unlike the built-in arena's $same"
expect_greater 0.02 "$same" "a settings' arena gone against the built-in one"
rm -f "$settings"

# A missing file: one line, and the built-in arena.
play_on missing "$1" "$2" --arena "$arenas/none.toml"
expect_line="Arena: $arenas/none.toml: file: missing; playing Classic instead"
grep -qxF -- "$expect_line" "$err" || fail "no line '$expect_line' on standard error"
[ "$(grep -c '^Arena: ' "$err")" -eq 1 ] || fail "not one line about the missing arena"
same=$(differing "$classic_match" "$match_shot")
echo "missing: share of a match's start unlike the built-in arena's $same"
expect_greater 0.02 "$same" "the missing arena's match start against the built-in one's"

# A game recorded on the maze replays on the maze to the same state, and is refused without it.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
game_args=(--arena "$arenas/maze.toml" --record "$dir/maze.bkrc")
game_start "$1" "$2/arenas_record"
game_key Return
sleep 0.5
game_hold w 1.0
game_key space
game_hold a 0.5
game_key l
sleep 0.5
game_key Escape
game_wait_exit
expect_status 0
recorded=$(grep '^Replay state hash: ' "$out")
game_args=(--arena "$arenas/maze.toml" --replay "$dir/maze.bkrc")
game_start "$1" "$2/arenas_replay"
game_wait_exit
expect_status 0
replayed=$(grep '^Replay state hash: ' "$out")
echo "recorded on the maze: $recorded; replayed: $replayed"
[ -n "$recorded" ] && [ "$recorded" = "$replayed" ] || fail "the replay on the maze ended otherwise"
refused "a replay without its arena" 1 "$1" --replay "$dir/maze.bkrc"
[ "$refused_line" = "Cannot replay $dir/maze.bkrc: it was played on another arena than the built-in one; give that arena's file with --arena" ] ||
  fail "a replay without its arena: '$refused_line'"
refused "a replay on another arena" 1 "$1" --arena "$arenas/towers.toml" --replay "$dir/maze.bkrc"

refused "--arena beside --join" 2 "$1" --arena "$arenas/maze.toml" --join 127.0.0.1
finish
