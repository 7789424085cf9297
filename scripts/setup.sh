#!/usr/bin/env bash
# Brings a fresh Debian 12 machine to a state where everything builds and every test runs.
# Idempotent: a machine that already has it all is left alone in a few seconds.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev llvm-14
  mingw-w64 g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32 wine64
  xvfb xauth x11-utils xdotool imagemagick
  fonts-ipafont-gothic locales
  python3 python3-pefile nsis
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

# Wine gives the programs code page 932 only when a Japanese locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
echo "setup: machine ready"
