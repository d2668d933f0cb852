#!/bin/sh
# Starts the installed game, or its dedicated server: the program of this script's own name
# (brakkel or brakkel-server), with the arguments given. The game reads its assets from
# ../Brakkel_game/ relative to its working directory, so it runs from its own directory, found
# from this script's location (links to the script resolved): the installed tree works wherever
# it is moved.
here=$(dirname "$(readlink -f "$0")")
name=$(basename "$0")
cd "$here/../lib/brakkel/bin" || exit 1
exec "./$name" "$@"
