#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
# Shared by ./run, ./test and CI so that a fresh machine needs nothing done by hand.
#   install-deps.sh          what ./run and ./test need
#   install-deps.sh --fuzz   also clang and its sanitizer and libFuzzer runtimes (scripts/fuzz.sh)
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins
  libsdl2-mixer-dev
  libcrypto++-dev
  librapidxml-dev
  libbackward-cpp-dev
  fonts-wqy-microhei
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  espeak-ng lame sox
)
if [ "${1:-}" = "--fuzz" ]; then
  # The version-less names follow Debian's default clang, so compiler and runtimes always match
  # (libclang-rt-dev is libclang-rt-14-dev on Debian 12).
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  as_root=(sudo)
else
  echo "error: these Debian packages are missing and neither root nor passwordless sudo is available:" >&2
  echo "  ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
