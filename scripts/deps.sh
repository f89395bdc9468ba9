#!/usr/bin/env bash
# Installs the Debian packages Brelvo needs to build, run and test, when missing.
set -euo pipefail
PKGS=(cmake ninja-build g++ pkg-config
      qt6-base-dev libqt6sql6-sqlite libsqlite3-dev zlib1g-dev libzint-dev libxlsxwriter-dev unzip
      qt6-translations-l10n
      postgresql libpq-dev
      libbenchmark-dev qt6-webengine-dev xvfb xauth poppler-utils fonts-dejavu-core
      lintian dpkg-dev file)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Instalando: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
