#!/usr/bin/env bash
# Installs what a fresh machine lacks to build and test QuillFrame, natively and
# for 64-bit Windows, and fetches the Debian sources of the libraries the
# Windows build compiles itself (into build-deps/src).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
packages=(cmake g++ make libgtest-dev libpng-dev libbenchmark-dev libcli11-dev libpugixml-dev
  libfreetype-dev fonts-dejavu-core
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine64 xvfb xauth dpkg-dev
  clang libclang-rt-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

# Source packages come through a private apt configuration that adds deb-src
# entries for the machine's own Debian mirror and suite; the machine's own
# sources stay as they are.
sources=(libpng1.6 pugixml)
deps=$root/build-deps
have_all=1
for s in "${sources[@]}"; do
  compgen -G "$deps/src/$s"'_*.dsc' >/dev/null || have_all=0
done
if [ $have_all = 0 ]; then
  . /etc/os-release
  mirror=http://deb.debian.org/debian
  conf=$deps/apt
  mkdir -p "$conf/lists/partial" "$conf/archives/partial" "$conf/sources.list.d" "$deps/src"
  cat >"$conf/sources.list" <<LIST
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $VERSION_CODENAME main
LIST
  cat >"$conf/apt.conf" <<CONF
Dir::Etc::SourceList "$conf/sources.list";
Dir::Etc::SourceParts "$conf/sources.list.d";
Dir::State::Lists "$conf/lists";
Dir::Cache "$conf";
Dir::Cache::archives "$conf/archives";
APT::Sandbox::User "root";
CONF
  APT_CONFIG=$conf/apt.conf apt-get update -qq
  (cd "$deps/src" && APT_CONFIG=$conf/apt.conf apt-get source --download-only -qq "${sources[@]}")
fi
for s in "${sources[@]}"; do
  dsc=$(compgen -G "$deps/src/$s"'_*.dsc' | head -1)
  dir=$deps/src/$s
  if [ ! -d "$dir" ]; then
    dpkg-source --no-check -x "$dsc" "$dir.tmp" >/dev/null
    mv "$dir.tmp" "$dir"
  fi
done
