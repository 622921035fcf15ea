#!/usr/bin/env bash
# Installs the Debian packages TQM5 Writer needs that are not installed yet.
set -euo pipefail
packages=(g++ cmake make pkg-config qt6-base-dev qt6-serialport-dev libgl-dev libicu-dev
          libgtest-dev googletest fonts-noto-cjk
          poppler-utils)  # pdftotext reads the printed list back in the window tests
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
