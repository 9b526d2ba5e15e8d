#!/usr/bin/env bash
# Runs one driver script and compares what the client did with the expected log beside it.
#   run_drive.sh QARRUM_CLI SCRIPT.drive
# The expected log NAME.expected lists, in order, every line of the event kinds it mentions (the
# first word of a line); lines of other kinds are left out before comparing, so a script keeps
# passing when later work adds kinds of events it does not care about. A folder NAME.home, when
# present, is copied into the fresh user data folder the run gets. A script with a line
# "#! no installed data" runs without the installed data folder. A line "#! file PATH" names a file
# that the run must have left, not empty, in its user data folder (PATH relative to it).
set -euo pipefail
cli=$1
script=$2
expected=${script%.drive}.expected
fixture=${script%.drive}.home

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
if [ -d "$fixture" ]; then
  cp -R "$fixture"/. "$home"/
fi
export XDG_CONFIG_HOME="$home/.config"
if grep -q '^#! no installed data' "$script"; then
  mkdir -p "$home/.no-data"
  export QARRUM_DATA="$home/.no-data"
fi

actual=$(cd "$home" && QARRUM_HOME="$home" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$cli" drive "$script")

kinds=$(awk '{ print $1 }' "$expected" | sort -u | tr '\n' ' ')
filtered=$(printf '%s\n' "$actual" | awk -v kinds="$kinds" '
  BEGIN { n = split(kinds, k, " "); for (i = 1; i <= n; i++) keep[k[i]] = 1 }
  ($1 in keep)')
if ! diff -u "$expected" <(printf '%s\n' "$filtered"); then
  echo "--- full output of $script:"
  printf '%s\n' "$actual"
  exit 1
fi

missing=0
while IFS= read -r file; do
  if [ ! -s "$home/$file" ]; then
    echo "--- $script left no file $file"
    missing=1
  fi
done < <(sed -n 's/^#! file //p' "$script")
exit $missing
