#!/usr/bin/env bash
# Installs what is missing, builds, registers the component library and starts Pendra on the sample atlas.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
prog=build/Pendra
if [ -x "$prog/regcomp" ]; then "$prog/regcomp" "$prog/libKVR_UTIL_prov.so"; fi
if [ -x "$prog/Pendra" ]; then
  exec "$prog/Pendra" "$@"
else
  echo "Pendra is not built yet; the program folder would be started from $prog"
  ls "$prog"
fi
