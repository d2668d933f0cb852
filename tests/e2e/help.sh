#!/usr/bin/env bash
# The list of controls in the real game: under the title's prompt from the start, and over a
# match while F1 has it shown. Checks screenshots of the nine lines of keys (no pad is connected
# here): each line band holds white glyph strokes, none at the window's left or right edge,
# and over the match F1 brings the lines and takes them away again.
set -u
source "$(dirname "$0")/lib.bash"
game_start "$1" "$2/help"

# The list's block in the 1024 x 768 window, top-left origin: lines 20 px high, 24 px apart,
# 768 px wide from x 128; the first line's top at 408 on the title and at 178 over a match.
line_count=9
line_geometry() { echo "768x20+128+$(($1 + 24 * $2))"; }
title_top=408
match_top=178

# line_shares SHOT TOP: the share of near-white pixels of each line band, space-separated.
line_shares() {
  local i shares=""
  for ((i = 0; i < line_count; i++)); do
    shares+="$(bright_share "$1" "$(line_geometry "$2" "$i")") "
  done
  echo "$shares"
}

# expect_list SHOT TOP WHAT: every line band has strokes, and none reach the window's edges.
expect_list() {
  local share i=0
  for share in $(line_shares "$1" "$2"); do
    expect_greater "$share" 0.008 "$3: line $((i += 1))"
  done
  expect_no_text_at_edges "$1" "$2" $((24 * line_count)) "$3:"
}

sleep 2
title=$(game_shot title)
echo "title lines: $(line_shares "$title" $title_top)"
expect_list "$title" $title_top "title"

game_key Return
sleep 1
without=$(game_shot match)
game_key F1
sleep 0.5
with=$(game_shot match_help)
game_key F1
sleep 0.5
hidden=$(game_shot match_help_hidden)
game_key Escape
game_wait_exit
expect_status 0
expect_stdout_line "Help on"
expect_stdout_line "Help off"

echo "match lines: without $(line_shares "$without" $match_top)"
echo "match lines: with F1 $(line_shares "$with" $match_top)"
echo "match lines: F1 again $(line_shares "$hidden" $match_top)"
expect_list "$with" $match_top "match with F1"
# Without the list the bands show the arena, which has few near-white pixels.
for shot in "$without" "$hidden"; do
  total=$(bright_share "$shot" "768x$((24 * line_count))+128+$match_top")
  expect_greater 0.02 "$total" "near-white share of the list's block in $(basename "$shot")"
done
finish
