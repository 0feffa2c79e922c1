#!/usr/bin/env bash
# Installs every Debian package that building and testing Kestrune needs, and the Korean
# locale the interface tests run under. Idempotent: when everything is present it only checks.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  libgtest-dev googletest libbenchmark-dev libfmt-dev libcurl4-openssl-dev
  clang libclang-rt-14-dev
  ffmpeg mediainfo parallel jq openssh-client openssh-server
  wine wine64
  xvfb xauth x11-utils xdotool imagemagick fonts-nanum fonts-wine
  zlib1g-dev libz-mingw-w64-dev
  locales python3 zip unzip
  nsis help2man lintian dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  # openssh-server is here for its sshd program only: the scale-out test starts a private sshd of
  # its own on 127.0.0.1. Where this script brought the package, the system's ssh service that
  # the package enabled (and may have started) is turned off again, so setting up a build machine
  # opens no login service.
  if [[ " ${missing[*]} " == *" openssh-server "* ]]; then
    if [ -d /run/systemd/system ]; then
      $SUDO systemctl disable --now ssh.service ssh.socket >/dev/null 2>&1 || true
    elif [ -x /etc/init.d/ssh ]; then
      $SUDO /etc/init.d/ssh stop >/dev/null 2>&1 || true
      $SUDO update-rc.d ssh disable >/dev/null 2>&1 || true
    fi
  fi
fi

# The Korean interface is chosen from LC_ALL=ko_KR.UTF-8; generate that locale once.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  echo "setup: generating ko_KR.UTF-8"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO localedef -i ko_KR -f UTF-8 ko_KR.UTF-8 >/dev/null 2>&1 || true
fi
