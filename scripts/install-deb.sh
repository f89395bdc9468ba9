#!/usr/bin/env bash
# Installs what is missing, builds the Debian package brelvo_<version>_<arch>.deb
# and installs it with apt (menu entries "Brelvo" and "Back-Up do Brelvo").
# Each user's files then live in ~/.local/share/Brelvo.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
BUILD_DIR=${BUILD_DIR:-build-deb}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELVO_BUILD_TESTS=OFF -DBRELVO_BUILD_BENCH=OFF
cmake --build "$BUILD_DIR" --target Brelvo Back-Up brelvo_changelog brelvo_manpages
(cd "$BUILD_DIR" && cpack -G DEB)
deb=$(ls -t "$BUILD_DIR"/brelvo_*.deb | head -1)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get install -y "./$deb"
echo "Instalado: $deb"
