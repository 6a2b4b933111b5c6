#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need.
set -euo pipefail
PACKAGES=(cmake g++ ninja-build ccache qt6-base-dev qt6-charts-dev libqt6opengl6-dev
          libsqlite3-dev sqlite3 libgtest-dev libbenchmark-dev fonts-dejavu-core fonts-dejavu-extra)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
