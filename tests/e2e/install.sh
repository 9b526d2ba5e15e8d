#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the programs from there, as a user of the
# installed game would: every program answers --version and --help, the menu entry and icon are
# where desktops look, the installed qarrum-cli reads the installed data, and the installed client
# comes up off screen.
#   install.sh CMAKE BUILD-DIR VERSION
set -euo pipefail
cmake=$1
build=$2
version=$3

prefix=$(mktemp -d)
client=
cleanup() {
  if [ -n "$client" ]; then
    kill "$client" 2>/dev/null || true
    wait "$client" 2>/dev/null || true
  fi
  rm -rf "$prefix"
}
trap cleanup EXIT
fail() {
  echo "install: $*" >&2
  exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null
for file in bin/qarrum bin/qarrum-server bin/qarrum-cli share/applications/qarrum.desktop \
            share/icons/hicolor/64x64/apps/qarrum.png share/qarrum/res/icon128.png \
            share/qarrum/Telvo/TurnRound.ini share/qarrum/Hubra2011/CoOpConfig.xml share/qarrum/Hubra2011/qzgame.xml; do
  [ -e "$prefix/$file" ] || fail "$file was not installed"
done
grep -qx 'Exec=qarrum' "$prefix/share/applications/qarrum.desktop" || fail "the menu entry does not start qarrum"

# Nothing may lead the programs back to the build tree.
unset QARRUM_DATA
export QARRUM_HOME=$prefix/home XDG_CONFIG_HOME=$prefix/config QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
cd "$prefix"
for program in qarrum qarrum-server qarrum-cli; do
  [ "$("bin/$program" --version)" = "$program $version" ] || fail "$program --version"
  help=$(bin/"$program" --help) || fail "$program --help"
  [[ $help == *"$program"* ]] || fail "$program --help does not name the program"
done

url=$(bin/qarrum-cli config get customerServiceURL) || fail "the installed qarrum-cli does not find the installed configuration"
[[ $url == https://* ]] || fail "customerServiceURL is '$url'"

# The client opens its log when its game window is made; give it time on a busy machine.
bin/qarrum --seed 1 >"$prefix/client.out" 2>&1 &
client=$!
for _ in $(seq 1 300); do
  [ -f "$QARRUM_HOME/Pellix/Pellix.log" ] && break
  kill -0 "$client" 2>/dev/null || fail "the installed client ended: $(cat "$prefix/client.out")"
  sleep 0.1
done
[ -f "$QARRUM_HOME/Pellix/Pellix.log" ] || fail "the installed client made no game window in 30 s"
kill -0 "$client" 2>/dev/null || fail "the installed client ended: $(cat "$prefix/client.out")"
echo "installed into a temporary prefix; the programs ran from it"
