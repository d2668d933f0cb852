#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from the directory its asset
# paths expect (the dedicated server is built too, for `cmake --install`). Set
# BRAKKEL_HEADLESS=1 to run it inside a virtual X server.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build_dir=${BRAKKEL_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBRAKKEL_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target brakkel brakkel-server

cd "$build_dir/bin"
if [ "${BRAKKEL_HEADLESS:-0}" = "1" ] || [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./brakkel
fi
exec ./brakkel
