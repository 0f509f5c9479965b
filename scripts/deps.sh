#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; skips what is installed.
set -euo pipefail
pkgs=(
  build-essential cmake pkg-config qt6-base-dev libsqlcipher-dev sqlcipher libssl-dev
  libshp-dev libpugixml-dev libzip-dev libjpeg62-turbo-dev libgtest-dev libgmock-dev
  libbenchmark-dev fp-utils libchm-dev fonts-dejavu-core zip unzip xvfb xauth
  poppler-utils
  libjpeg-turbo-progs
  fonts-urw-base35
  libxlsxwriter-dev
  qt6-translations-l10n
  locales
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
# The program speaks Italian: its numbers and the tests of the C library's locale need it_IT.UTF-8.
if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO sed -i 's/^# *\(it_IT\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
