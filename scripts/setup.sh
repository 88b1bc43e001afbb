#!/usr/bin/env bash
# Installs, only when missing, the Debian packages Quillmer needs to build and test.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev
    libsqlite3-dev libsodium-dev libshp-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-wqy-microhei qt6-translations-l10n
    libpq-dev postgresql postgresql-contrib
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
