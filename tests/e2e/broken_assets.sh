#!/usr/bin/env bash
# Damages the staged asset tree one file at a time and plays the real game on each damaged
# copy: every file of the tree is in turn missing, cut to half its size, replaced by random
# bytes of the same size (fixed seed per file, so runs repeat), and, for textures and models,
# empty (an empty shader file reads exactly like a missing one). In every case the game must
# open its window, start a match on ENTER, end with status 0 on ESC, within the time limits,
# without a sanitizer report, and print what its loaders promise for that damage:
# - a shader read by loadShaders: its "Compiling shader : PATH" line followed by a driver's
#   log that is not empty, of the compile or of the link; for the radar's, which draws nothing
#   without its program, no GL error either;
# - a particle shader: "Init particle Shaders: " followed by a non-zero digit;
# - a model that cannot be read: "Assimp: Could not read file!" on standard error (a model
#   cut at half its size may still be readable);
# - a texture: nothing on standard error.
# The sounds are read only when an audio device opens, so their games play into OpenAL Soft's
# wave writer, and they are damaged all at once, four games in all: in game k the i-th sound
# file (in name order) suffers the ((i + k) mod 4)-th of missing, half, empty and random, so
# that every file meets every damage. Each damaged file must get its loader's line, "Sound:
# cannot load ../Brakkel_game/Sounds/NAME: REASON", and standard error must hold nothing else.
# Each game runs alone, in its own copy of the tree. One line per case goes to
# broken_assets/summary.txt among the artefacts; a failing case keeps its console output in
# broken_assets/<case>/.
set -u
source "$(dirname "$0")/lib.bash"

binary=$(realpath "$1")
assets=$(staged_assets "$binary")
results="$2/broken_assets"
play_seconds=1   # of match frames between ENTER and ESC
built_line="texSampler " # the scene prints it last while it is being built

rm -rf "$results"
mkdir -p "$results"

# damage FILE MUTATION: replaces FILE, a hard link into the staged tree (or a copy), by a
# damaged file of its own, so the staged original stays whole.
damage() {
  local file=$1 size seed
  size=$(stat -c %s "$file")
  seed=$(cksum <<<"${file#"$tree/"}" | cut -d ' ' -f 1)
  rm "$file"
  case $2 in
  missing) ;;
  empty) : >"$file" ;;
  half) head -c $((size / 2)) "$assets/${file#"$tree/Brakkel_game/"}" >"$file" ;;
  random) perl -e 'srand($ARGV[0]); print pack("C*", map { int(rand(256)) } 1 .. $ARGV[1])' \
    "$seed" "$size" >"$file" ;;
  esac
}

# damage_sounds ROTATION: damages every sound file of the tree, each as its place in name
# order plus ROTATION picks among the four damages.
sound_damages=(missing half empty random)
sound_files=()
damage_sounds() {
  local i
  for i in "${!sound_files[@]}"; do
    damage "$tree/Brakkel_game/Sounds/${sound_files[$i]}" "${sound_damages[$(((i + $1) % 4))]}"
  done
}

# expect_build_log PATH: the driver's log after the "Compiling shader : PATH" line, or else
# the link log after the next "Linking program" line, is not empty. A file cut at a statement
# boundary may compile and fail only at the link.
expect_build_log() {
  awk -v header="Compiling shader : $1" '
    logLine { if ($0 != "") { reported = 1; exit } logLine = 0 }
    $0 == header { found = 1; logLine = 1 }
    found && $0 == "Linking program" { logLine = 1; found = 0 }
    END { exit !reported }' "$out" ||
    fail "no compile or link log after 'Compiling shader : $1'"
}

# expect_promised_output FILE MUTATION: what the loaders print for this damage.
expect_promised_output() {
  case $1 in
  Shaders/*)
    if grep -qxF "Compiling shader : ../Brakkel_game/$1" "$out"; then
      expect_build_log "../Brakkel_game/$1"
      case $1 in Shaders/radar.*) expect_no_gl_errors ;; esac
    else
      grep -q '^Init particle Shaders: [1-9]' "$out" ||
        fail "neither a compile log nor a failed 'Init particle Shaders: ' line"
    fi
    ;;
  Models/*)
    if [ "$2" != half ]; then
      grep -qxF 'Assimp: Could not read file!' "$err" || fail "no 'Assimp: Could not read file!'"
    fi
    expect_no_gl_errors
    ;;
  Textures/*)
    [ ! -s "$err" ] || fail "standard error not empty: $(head -n 2 "$err")"
    ;;
  Sounds)
    local name
    for name in "${sound_files[@]}"; do
      grep -q "^Sound: cannot load ../Brakkel_game/Sounds/$name: " "$err" ||
        fail "no loader line for Sounds/$name"
    done
    ! grep -v '^Sound: cannot load ' "$err" | grep -q . ||
      fail "standard error holds more than loader lines: $(grep -v '^Sound: cannot load ' "$err" | head -n 2)"
    expect_sound_device
    ;;
  intact)
    [ ! -s "$err" ] || fail "standard error not empty: $(head -n 2 "$err")"
    expect_stdout_line "Init particle Shaders: 0"
    ;;
  esac
}

# run_case NAME FILE MUTATION: one game on a copy of the tree with FILE damaged by MUTATION
# ("intact" leaves the tree as it is); writes NAME.result with PASS or FAIL and the reasons.
run_case() {
  local name=$1 file=$2 mutation=$3
  local started=$SECONDS
  tree=$(asset_tree_copy "$assets")
  unset ALSOFT_DRIVERS ALSOFT_CONF
  if [ "$file" = Sounds ]; then
    damage_sounds "$mutation"
    printf '[wave]\nfile = %s\n' "$tree/recording.wav" >"$tree/alsoft.conf"
    export ALSOFT_DRIVERS=wave ALSOFT_CONF="$tree/alsoft.conf"
  elif [ "$mutation" != intact ]; then
    damage "$tree/Brakkel_game/$file" "$mutation"
  fi

  failures=0
  if game_launch "$binary" "$results/$name" "$tree/bin"; then
    if game_wait_line "$built_line"; then
      xdotool key --window "$window_id" Return
      sleep "$play_seconds"
      xdotool key --window "$window_id" Escape
    fi
    game_wait_exit
    expect_status 0
  fi
  expect_no_sanitizer_report
  expect_promised_output "$file" "$mutation"
  rm -rf "$tree"

  local verdict=PASS
  if [ "$failures" -ne 0 ]; then
    verdict=FAIL
  else
    rm -rf "${results:?}/$name"
  fi
  echo "$verdict $name ($((SECONDS - started)) s)" >"$results/$name.result"
}

cases=("intact intact intact")
while IFS= read -r file; do
  case $file in Sounds/*)
    sound_files+=("${file#Sounds/}")
    continue
    ;;
  esac
  mutations=(missing half random)
  case $file in Textures/* | Models/*) mutations+=(empty) ;; esac
  for mutation in "${mutations[@]}"; do
    cases+=("${file//\//_}.$mutation $file $mutation")
  done
done < <(cd "$assets" && find . -type f -printf '%P\n' | LC_ALL=C sort)
for rotation in 0 1 2 3; do
  cases+=("Sounds.$rotation Sounds $rotation")
done

# One game at a time: two software-rendered games side by side were seen to stall together
# for minutes inside the rasteriser now and then, undamaged trees too.
started=$SECONDS
for entry in "${cases[@]}"; do
  # shellcheck disable=SC2086 # the entry is three words without spaces
  run_case $entry >"$results/${entry%% *}.log" 2>&1
done

summary="$results/summary.txt"
: >"$summary"
for entry in "${cases[@]}"; do
  name=${entry%% *}
  if [ -f "$results/$name.result" ]; then
    cat "$results/$name.result" >>"$summary"
  else
    echo "FAIL $name (no result)" >>"$summary"
  fi
  if grep -q '^PASS' "$results/$name.result" 2>/dev/null; then
    rm -f "$results/$name.result" "$results/$name.log"
  else
    mv "$results/$name.log" "$results/$name/checks.log" 2>/dev/null
    rm -f "$results/$name.result"
  fi
done

echo "broken assets: ${#cases[@]} cases in $((SECONDS - started)) s, $(grep -c '^FAIL' "$summary") failed"
if grep -q '^FAIL' "$summary"; then
  grep '^FAIL' "$summary"
  for dir in "$results"/*/; do
    echo "--- $dir"
    cat "$dir/checks.log" 2>/dev/null
    tail -n 20 "$dir/stderr.txt" 2>/dev/null
  done
  exit 1
fi
echo "e2e passed"
