#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test the application.
# Only missing packages are installed; safe to run again. Needs root (or sudo).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config libsqlite3-dev
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6opengl6-dev
  qt6-translations-l10n
  postgresql libqt6sql6-psql
  libgl-dev libxkbcommon-dev
  libgtest-dev googletest
  xvfb xauth
  poppler-utils
  fonts-dejavu-core fonts-liberation
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
