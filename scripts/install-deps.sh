#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Checks first, so a
# second run installs nothing and costs next to nothing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev zlib1g-dev libexpat1-dev
  python3-cxx-dev libpython3.11-dev python3
  libgtest-dev libgmock-dev libbenchmark-dev
  util-linux
)
# util-linux: setpriv, with which the tests run the installed program as an
# ordinary user.
# Only for scripts/fuzz.sh: clang and its libFuzzer and sanitizer runtimes.
if [ "${KF_FUZZ_DEPS:-0}" = "1" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
