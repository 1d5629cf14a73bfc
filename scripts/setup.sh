#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
set -euo pipefail
packages=(build-essential cmake qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libgl-dev clang libclang-rt-14-dev
          adwaita-icon-theme qt6-tools-dev qt6-l10n-tools qt6-translations-l10n pkg-config libxcb1-dev libxcb-xtest0-dev xvfb xauth libgumbo-dev
          libsodium-dev libxxhash-dev ccache
          lintian desktop-file-utils appstream man-db)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
