#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, and only what is missing.
# Safe to run again: every step checks first.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake make g++ pkg-config dpkg-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 fonts-wine fonts-wqy-zenhei
  xvfb xauth x11-utils libx11-dev
  locales nasm
  googletest libgtest-dev
  libjpeg62-turbo-dev libgif-dev
  imagemagick python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

src_list=/etc/apt/sources.list.d/korvane-src.sources
need_update=0
if [ ! -f "$src_list" ]; then
  as_root tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ]; then
  as_root apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine reports GetACP() == 936 only when the zh_CN.UTF-8 locale exists.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi

# libjpeg-turbo source for the static Windows build.
if [ ! -d build/src/libjpeg-turbo ]; then
  mkdir -p build/src
  ( cd build/src && apt-get source -qq libjpeg-turbo >/dev/null 2>&1 )
  dir=$(find build/src -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  [ -n "$dir" ] || { echo "setup: apt-get source libjpeg-turbo failed" >&2; exit 1; }
  mv "$dir" build/src/libjpeg-turbo
fi
