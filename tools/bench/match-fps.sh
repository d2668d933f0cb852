#!/usr/bin/env bash
# What a player gets, measured from outside the real game (build/bin/brakkel) in a visible
# window under Xvfb and Mesa's software renderer:
#
# - for each quality preset, a real match: ENTER on the title, then SECONDS (15) of the match
#   with the computer driving and firing; the frame rate as Mesa's own frame counter reads it
#   (GALLIUM_HUD=fps, one figure a second, its overlay hidden): the median of the figures;
#   and the resident memory 10 s into the match;
# - from every launch, when its first picture with anything in it was presented (the title
#   with its text) after the process started, and the longest frame of the first 5 s: the
#   pictures the driver presents are logged by libbrakkel_present_log.so (LD_PRELOAD);
# - --startup N: N more launches that only show the title, with the shader cache as it is,
#   then N with it disabled (MESA_SHADER_CACHE_DISABLE), each timed as above;
# - --bench: the benchmark (brakkel_bench) in the same run, and its frames per second at each
#   preset over the match's.
#
#   tools/bench/match-fps.sh [--build DIR] [--seconds S] [--size WxH] [--presets "full balanced fast"]
#                            [--startup N] [--bench]
#
# The sound mixes into OpenAL Soft's null output, which costs what a sound card would. The
# settings each game reads are its own, in a temporary directory.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build="$here/../../build"
seconds=15
size=1024x768
presets="full balanced fast"
startup_runs=0
bench=0
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --size) size=$2; shift 2 ;;
    --presets) presets=$2; shift 2 ;;
    --startup) startup_runs=$2; shift 2 ;;
    --bench) bench=1; shift ;;
    *) echo "usage: $0 [--build DIR] [--seconds S] [--size WxH] [--presets LIST] [--startup N] [--bench]" >&2; exit 2 ;;
  esac
done

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" "$0" --build "$build" --seconds "$seconds" \
    --size "$size" --presets "$presets" --startup "$startup_runs" $([ "$bench" = 1 ] && echo --bench)
fi

bin=$(cd "$build/bin" && pwd)
preload="$bin/libbrakkel_present_log.so"
for needed in "$bin/brakkel" "$preload"; do
  [ -e "$needed" ] || { echo "$needed is missing: build the game and brakkel_present_log" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The render scale the options screen gives each preset (client/OptionsMenu.cpp).
scale_of() { case $1 in full) echo 100 ;; balanced) echo 75 ;; fast) echo 50 ;; esac; }

# launch NAME PRESET [ENV=VALUE...]: starts the game in $work/NAME with the preset's settings
# and the present log, the time of the launch in $work/NAME/launch; sets pid and window.
launch() {
  local name=$1 preset=$2
  shift 2
  local dir="$work/$name"
  mkdir -p "$dir/config/brakkel" "$dir/hud"
  printf 'quality = "%s"\nrender_scale = %s\n' "$preset" "$(scale_of "$preset")" \
    >"$dir/config/brakkel/settings.toml"
  (
    cd "$bin"
    date +%s.%N >"$dir/launch"
    exec env "$@" XDG_CONFIG_HOME="$dir/config" ALSOFT_DRIVERS=null \
      BRAKKEL_PRESENT_LOG="$dir/presents" LD_PRELOAD="$preload" ./brakkel
  ) >"$dir/stdout" 2>"$dir/stderr" &
  pid=$!
  window=""
  for _ in $(seq 1 300); do
    window=$(xdotool search --onlyvisible --pid "$pid" --name '^Brakkel$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ] || { echo "$name: no window" >&2; cat "$dir/stderr" >&2; exit 1; }
}

# quit: ESC to the game, and waits for it to end.
quit() {
  xdotool key --window "$window" Escape 2>/dev/null || true
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# startup_figures NAME: "FIRST LONGEST" in ms: when the first picture with anything in it came
# after the launch, and the longest frame from it to 5 s after the launch.
startup_figures() {
  local dir="$work/$1"
  awk -v launch="$(cat "$dir/launch")" '
    first == "" && $3 == "1" { first = $1 - launch; previous = $1; next }
    first != "" && $1 - launch <= 5 { gap = $1 - previous; if (gap > longest) longest = gap; previous = $1 }
    END { if (first == "") print "- -"; else printf "%.0f %.0f\n", first * 1000, longest * 1000 }
  ' "$dir/presents"
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# cpu_and_frames: the game's CPU time so far (all its threads, ms) and the pictures presented.
cpu_and_frames() {
  local ticks
  ticks=$(sed 's/.*) //' "/proc/$pid/stat" | awk '{ print $12 + $13 }')
  echo "$((ticks * 1000 / $(getconf CLK_TCK))) $(wc -l <"$work/$1/presents")"
}

# play PRESET: a match of $seconds at the preset; prints
# "PRESET FPS CPU_MS_PER_FRAME RSS_MB FIRST LONGEST".
play() {
  local preset=$1 dir="$work/match-$1"
  launch "match-$preset" "$preset" GALLIUM_HUD=fps GALLIUM_HUD_VISIBLE=false GALLIUM_HUD_PERIOD=1 \
    GALLIUM_HUD_DUMP_DIR="$dir/hud"
  sleep 3 # the title, and whatever it loads behind it
  xdotool key --window "$window" Return
  local started=$SECONDS
  sleep 1
  local from cpu0 frames0 cpu1 frames1
  from=$(wc -l <"$dir/hud/fps" 2>/dev/null || echo 0)
  read -r cpu0 frames0 <<<"$(cpu_and_frames "match-$preset")"
  sleep 9
  local rss
  rss=$(awk '/^VmRSS/ { printf "%.0f", $2 / 1024 }' "/proc/$pid/status")
  local left=$((seconds + 1 - (SECONDS - started)))
  [ "$left" -gt 0 ] && sleep "$left"
  read -r cpu1 frames1 <<<"$(cpu_and_frames "match-$preset")"
  local figures
  figures=$(tail -n +"$((from + 1))" "$dir/hud/fps" | head -n "$seconds" | median)
  quit
  echo "$preset $figures $(awk -v c=$((cpu1 - cpu0)) -v f=$((frames1 - frames0)) 'BEGIN { printf "%.1f", (f > 0 ? c / f : 0) }') $rss $(startup_figures "match-$preset")"
}

echo "Real matches, $seconds s each after ENTER, $size window; $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
results=()
for preset in $presets; do
  results+=("$(play "$preset")")
done
printf '\n| preset | match fps (GALLIUM_HUD median) | CPU per frame, all threads (ms) | RSS 10 s into the match (MB) | first picture (ms) | longest frame of the first 5 s (ms) |\n|---|---:|---:|---:|---:|---:|\n'
for line in "${results[@]}"; do
  read -r preset fps cpu rss first longest <<<"$line"
  printf '| %s | %.1f | %s | %s | %s | %s |\n' "$preset" "$fps" "$cpu" "$rss" "$first" "$longest"
done

if [ "$startup_runs" -gt 0 ]; then
  printf '\n| start-up, %s launches | first picture: median (min–max), ms | longest frame of the first 5 s: median (max), ms |\n|---|---:|---:|\n' "$startup_runs"
  for cache in warm cold; do
    firsts=()
    longests=()
    for run in $(seq 1 "$startup_runs"); do
      if [ "$cache" = cold ]; then
        launch "start-$cache-$run" full MESA_SHADER_CACHE_DISABLE=true
      else
        launch "start-$cache-$run" full
      fi
      sleep 5.5
      quit
      read -r first longest <<<"$(startup_figures "start-$cache-$run")"
      firsts+=("$first")
      longests+=("$longest")
    done
    printf '| shader cache %s | %s (%s–%s) | %s (%s) |\n' "$cache" \
      "$(printf '%s\n' "${firsts[@]}" | median)" "$(printf '%s\n' "${firsts[@]}" | sort -g | head -n 1)" \
      "$(printf '%s\n' "${firsts[@]}" | sort -g | tail -n 1)" \
      "$(printf '%s\n' "${longests[@]}" | median)" "$(printf '%s\n' "${longests[@]}" | sort -g | tail -n 1)"
  done
fi

if [ "$bench" = 1 ]; then
  echo
  echo "Benchmark, same run:"
  ALSOFT_DRIVERS=null "$bin/brakkel_bench" --size "$size" >"$work/bench.txt" 2>"$work/bench-stderr.txt" || {
    cat "$work/bench.txt" "$work/bench-stderr.txt" >&2
    exit 1
  }
  grep -A 20 '^brakkel_bench:' "$work/bench.txt" | grep -v '^$'
  line=$(grep '^frames per second' "$work/bench.txt")
  printf '\n| preset | match fps | benchmark fps | match / benchmark | match CPU per frame (ms) | benchmark CPU per frame, median (ms) |\n|---|---:|---:|---:|---:|---:|\n'
  for result in "${results[@]}"; do
    read -r preset fps cpu _ <<<"$result"
    bench_fps=$(sed -n "s/.* $preset \([0-9.]*\).*/\1/p" <<<"$line")
    # The median of the preset's column of "all threads CPU": the kinds are the header's.
    bench_cpu=$(awk -v kind="$preset" '
      /^ms / { for (i = 2; i <= NF; i++) if ($i == kind) column = i - 1 }
      /^all threads CPU/ { print $(4 + (column - 1) * 4) }' "$work/bench.txt")
    printf '| %s | %.1f | %s | %s | %s | %s |\n' "$preset" "$fps" "$bench_fps" \
      "$(awk -v a="$fps" -v b="$bench_fps" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')" \
      "$cpu" "$bench_cpu"
  done
fi
