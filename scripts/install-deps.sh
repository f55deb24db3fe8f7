#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need, only when missing.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev libgl1-mesa-dev libsqlcipher-dev
          unixodbc-dev tdsodbc libsqliteodbc libgtest-dev libbenchmark-dev fonts-noto-cjk qt6-translations-l10n
          postgresql odbc-postgresql qt6-charts-dev libminizip-dev clang libclang-rt-14-dev
          appstream desktop-file-utils zlib1g-dev man-db file
          libmicrohttpd-dev libcpp-httplib-dev libqrencode-dev chromium chromium-driver python3-selenium
          libssl-dev sqlcipher libsecret-1-dev gnome-keyring dbus-daemon dbus-bin)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
