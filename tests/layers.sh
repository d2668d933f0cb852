#!/usr/bin/env bash
# Checks the include graph of the game's code: every folder includes only itself and the
# folders below it, from the entry point (app) down to the platform layer; the game rules
# include no GL, no window library and no layer above them; no header declares a mutable
# global. Prints each offence; exits non-zero when there is one.
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

# Bottom first.
layers=(platform game net client assets render particles audio scene app)
rank() {
  local i
  for i in "${!layers[@]}"; do
    [ "${layers[$i]}" = "$1" ] && echo "$i" && return
  done
  echo -1
}

offences=0
for folder in "${layers[@]}"; do
  [ -d "$folder" ] || continue
  own=$(rank "$folder")
  while IFS=: read -r file line include; do
    target=${include%%/*}
    target_rank=$(rank "$target")
    if [ "$target_rank" -gt "$own" ]; then
      echo "$file:$line includes $include, a layer above $folder"
      offences=$((offences + 1))
    fi
  done < <(grep -rnoE '#include *"[a-z]+/[^"]+"' "$folder" | sed -E 's/#include *"([^"]+)"/\1/')
done

if grep -rnE '#include *[<"](GL/|GLFW/|render/|particles/|scene/|audio/|client/)|gl[A-Z][A-Za-z]*\(' game/; then
  echo "the game rules above use GL, the window library or a layer above theirs"
  offences=$((offences + 1))
fi
if grep -rnE '#include *[<"](GL/|GLFW/|render/|particles/|scene/|audio/|assets/|assimp/|client/)|gl[A-Z][A-Za-z]*\(' net/; then
  echo "the network above uses GL, the window library, the asset decoders or a layer above its own"
  offences=$((offences + 1))
fi
if grep -rnE '#include *[<"](GL/|GLFW/|render/|particles/|scene/|audio/|assets/|assimp/)|gl[A-Z][A-Za-z]*\(' client/; then
  echo "the client above uses GL, the window library, the asset decoders or a layer above its own"
  offences=$((offences + 1))
fi
if grep -rnE '#include *<(fstream|cstdio)>|fopen|ifstream|ofstream' game/; then
  echo "the game rules above read or write files"
  offences=$((offences + 1))
fi

if grep -rnP '^\s*extern\s+(?!const\b)' --include='*.h' "${layers[@]}" 2>/dev/null; then
  echo "the headers above declare mutable globals"
  offences=$((offences + 1))
fi

if [ "$offences" -ne 0 ]; then
  echo "$offences include or global offences"
  exit 1
fi
echo "layers ok: ${layers[*]}"
