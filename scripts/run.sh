#!/usr/bin/env bash
# Installs what is needed, builds, creates the database when it is missing and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
DATA="${XDG_DATA_HOME:-$HOME/.local/share}/Orvanta/Tallyset"
if [ ! -f "$DATA/db/tallyset.mdb" ]; then
  mkdir -p "$DATA/db"
  ./build/tallyset-db create "$DATA/db/tallyset.mdb" --demo
fi
exec ./build/tallyset
