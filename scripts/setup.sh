#!/usr/bin/env bash
# Installs what a fresh machine lacks to build and test QuillFrame.
set -euo pipefail
packages=(cmake g++ make libgtest-dev libpng-dev libbenchmark-dev libcli11-dev libpugixml-dev
  libfreetype-dev fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
