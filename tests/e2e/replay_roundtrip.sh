#!/usr/bin/env bash
# A game played through the driver and saved with the result window's button is a replay file
# that `vid dump` reads packet by packet and that `replay` plays back to the same table: the same
# hands and cards on the table, the same multiple, landlord and card counts.
#   replay_roundtrip.sh QARRUM_CLI
set -euo pipefail
cli=$1
here=$(cd "$(dirname "$0")" && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/.config" QARRUM_HOME="$home" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
cd "$home"

"$cli" drive "$here/replay/live.drive" > live.txt
shopt -s nullglob
files=("$home"/Telvo/video/*.vid)
if [ ${#files[@]} -ne 1 ]; then
  echo "expected one saved replay in Telvo/video, found ${#files[@]}"; exit 1
fi
"$cli" vid dump "${files[0]}" > dump.txt
head -2 dump.txt | grep -qx 'head version=20120223 kind=100'
grep -qx 'players kind=100 count=3 me=0' dump.txt
# The recording starts with the deal and holds every message of the game up to its end.
[ "$(grep -c '^100 ' dump.txt)" -eq 1 ] && [ "$(grep -c '^105 ' dump.txt)" -eq 1 ]

"$cli" replay "${files[0]}" --then "$here/replay/table.drive" > replay.txt

# The last dumps of each run, the live ones taken a second after the game end (the hands open);
# only the fields both tables must agree on, as clocks, trustee and replay flags differ by design.
table() {
  grep '^hand' "$1" | tail -1
  grep '^cards' "$1" | tail -1
  grep '^state' "$1" | tail -1 | tr ' ' '\n' | grep -E '^(m_cbHandCount|m_wMultiple|m_wBombCount|m_wRocketPlayed|m_wLordUser|m_cbCardCount)='
}
if ! diff -u <(table live.txt) <(table replay.txt); then
  echo "--- live:"; cat live.txt; echo "--- replay:"; cat replay.txt; exit 1
fi
