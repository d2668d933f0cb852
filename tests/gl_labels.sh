#!/usr/bin/env bash
# Checks that every GL check label a user may quote in a report is still checked somewhere in
# the game's code, spelt exactly. Prints each missing label; exits non-zero when one is missing.
set -u
cd "${1:-$(dirname "$0")/..}" || exit 2

labels=(
  "1" "2" "3" "4" "before main loop"
  "main loop, before scene.update()" "main loop, after scene.update()"
  "main loop, before scene.render()" "main loop, after scene.render()"
  "before init scene" "before texture"
  "Scene::update() START" "before setting shader arguments" "Scene::update() END"
  "Scene::render() 1" "Scene::render() 2" "Scene::render() 3" "Scene::render() 4"
  "After Particle Render" "Scene::render() 5" "Scene::render() 6" "Scene::render() END"
  "Before feedback" "After feedback" "After feedback buffer" "After vertex attrib"
  "After first" "After draw"
)

missing=0
for label in "${labels[@]}"; do
  if ! grep -rqF "checkGlError(\"$label\")" app scene render particles platform; then
    echo "no check labelled \"$label\""
    missing=$((missing + 1))
  fi
done
[ "$missing" -eq 0 ] || exit 1
echo "gl labels ok: ${#labels[@]}"
