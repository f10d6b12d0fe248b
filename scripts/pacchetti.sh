#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need.
set -euo pipefail
pacchetti=(cmake ninja-build g++ qt6-base-dev libsqlite3-dev libsqlitecpp-dev libxlsxwriter-dev
           libgtest-dev libgmock-dev fonts-liberation sqlite3
           qt6-translations-l10n poppler-utils python3-openpyxl libpq-dev postgresql)
mancanti=()
for p in "${pacchetti[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || mancanti+=("$p")
done
if [ ${#mancanti[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${mancanti[@]}"
fi
