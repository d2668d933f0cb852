#!/usr/bin/env bash
# Starts the real game, waits for its window "Brakkel", presses ESC and checks that the game
# ends with status 0 and reports no GL error.
set -u
source "$(dirname "$0")/lib.bash"
game_start "$1" "$2/quit"
game_key Escape
game_wait_exit
expect_status 0
expect_no_gl_errors
finish
