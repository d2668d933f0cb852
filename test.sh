#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs every test under a virtual X server. A second run only rebuilds what changed.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build_dir=${BRAKKEL_TEST_BUILD_DIR:-build-test}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DBRAKKEL_SANITIZE=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# -noreset: without it the X server restarts whenever its last client leaves, and a test
# that connects during the restart fails to open its window.
xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" \
  ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" "$@"
