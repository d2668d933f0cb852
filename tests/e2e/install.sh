#!/usr/bin/env bash
# Installs the build into a temporary prefix with `cmake --install`, moves the prefix, and
# starts the game through a link to the moved launcher from / like a desktop would: the
# window "Brakkel" appears, every asset is found (the particle shaders build, nothing on
# standard error) and ESC ends the game with status 0. Also checks what the prefix holds:
# the game and the dedicated server, the game's asset tree as staged in the build, a launcher
# for each, a desktop entry that desktop-file-validate accepts and the icons, and nothing else
# (no test or tool binary). The installed server starts through its launcher with no display,
# links no window, GL or sound library, and stops cleanly on SIGTERM.
set -u
source "$(dirname "$0")/lib.bash"

binary=$(realpath "$1")
build=$(realpath "$(dirname "$binary")/..")
artifacts="$2/install"
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cmake --install "$build" --prefix "$work/prefix" >"$artifacts/install.log" 2>&1; then
  cat "$artifacts/install.log"
  echo "FAIL: cmake --install failed"
  exit 1
fi
# The launcher finds the game from its own location, so the installed tree may move.
mv "$work/prefix" "$work/moved"
prefix="$work/moved"

expect_files() { # DIR FILE...: the files directly inside DIR are exactly FILE...
  local found
  found=$(cd "$1" && find . -mindepth 1 -maxdepth 1 -printf '%P\n' | LC_ALL=C sort | tr '\n' ' ')
  [ "$found" = "$(printf '%s\n' "${@:2}" | LC_ALL=C sort | tr '\n' ' ')" ] ||
    fail "$1 holds '$found', expected '${*:2}'"
}
expect_files "$prefix" bin lib share
expect_files "$prefix/bin" brakkel brakkel-server
expect_files "$prefix/lib" brakkel
expect_files "$prefix/lib/brakkel" bin Brakkel_game
expect_files "$prefix/lib/brakkel/bin" brakkel brakkel-server
expect_files "$prefix/share" applications icons
expect_files "$prefix/share/applications" brakkel.desktop
diff -r "$build/Brakkel_game" "$prefix/lib/brakkel/Brakkel_game" >/dev/null ||
  fail "the installed asset tree differs from the staged one"
[ -x "$prefix/bin/brakkel" ] || fail "the launcher is not executable"

desktop="$prefix/share/applications/brakkel.desktop"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" >"$artifacts/desktop-file-validate.txt" 2>&1 ||
    fail "desktop-file-validate: $(cat "$artifacts/desktop-file-validate.txt")"
else
  echo "desktop-file-validate not available: desktop entry not validated"
fi
grep -qx 'Exec=brakkel' "$desktop" || fail "the desktop entry does not start the launcher"
grep -qx 'Icon=brakkel' "$desktop" || fail "the desktop entry does not name the icon"
for size in 48 128; do
  icon="$prefix/share/icons/hicolor/${size}x$size/apps/brakkel.png"
  if [ -f "$icon" ]; then
    [ "$(identify -format '%m %wx%h' "$icon")" = "PNG ${size}x$size" ] ||
      fail "$icon is not a $size x $size PNG"
  else
    fail "no icon $icon"
  fi
done

server_out="$artifacts/server.out"
(cd / && exec env -u DISPLAY "$prefix/bin/brakkel-server" --port 0 >"$server_out" 2>&1) &
server_pid=$!
for _ in $(seq 100); do
  grep -q '^Hosting on port [1-9][0-9]*$' "$server_out" && break
  sleep 0.1
done
grep -q '^Hosting on port [1-9][0-9]*$' "$server_out" || fail "the server printed no port: $(cat "$server_out")"
kill -TERM "$server_pid"
wait "$server_pid"
server_status=$?
[ "$server_status" -eq 0 ] || fail "the server ended with status $server_status on SIGTERM"
grep -qx 'Server stopped' "$server_out" || fail "the server did not say it stopped"
if ldd "$prefix/lib/brakkel/bin/brakkel-server" | grep -iE 'libGL|glfw|GLEW|openal|assimp'; then
  fail "the dedicated server links a window, GL or sound library"
fi

mkdir "$work/elsewhere"
ln -s "$prefix/bin/brakkel" "$work/elsewhere/brakkel"
if game_launch "$work/elsewhere/brakkel" "$artifacts" /; then
  game_wait_line "texSampler " && game_key Escape
  game_wait_exit
  expect_status 0
  expect_stdout_line "Init particle Shaders: 0"
  [ ! -s "$err" ] || fail "standard error not empty"
fi
finish
