#!/usr/bin/env bash
# Draws the review pictures: each driver script in tests/e2e/review becomes a picture of the game
# window as the script leaves it, in build/review/NAME.png, for a person to look at.
#   scripts/review.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$build/review
mkdir -p "$out"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
for script in "$root"/tests/e2e/review/*.drive; do
  name=$(basename "$script" .drive)
  (cd "$home" && XDG_CONFIG_HOME="$home/.config" QARRUM_HOME="$home" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
    "$build/bin/qarrum-cli" snapshot "$script" --out "$out/$name.png")
  echo "$out/$name.png"
done
