#!/usr/bin/env bash
# Installs the Debian packages Vemmo needs to build, test and run: every
# package named in scripts/packages/*.txt (one per line, # comments).
# Idempotent: packages already present are skipped, and apt is not touched
# at all when nothing is missing.
set -euo pipefail
cd "$(dirname "$0")"

mapfile -t packages < <(cat packages/*.txt | sed 's/#.*//' | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
