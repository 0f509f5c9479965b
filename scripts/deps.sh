#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; skips what is installed.
set -euo pipefail
pkgs=(
  build-essential cmake pkg-config qt6-base-dev libsqlcipher-dev sqlcipher libssl-dev
  libshp-dev libpugixml-dev libzip-dev libjpeg62-turbo-dev libgtest-dev libgmock-dev
  libbenchmark-dev fp-utils libchm-dev fonts-dejavu-core zip unzip xvfb xauth
  poppler-utils
  libjpeg-turbo-progs
  qt6-translations-l10n
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
