#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that building and testing Veltrin need and that are missing.
# Quiet when everything is present; runs 'apt-get update' once, and only when it has something to install.
set -euo pipefail

packages=(
    build-essential cmake make
    qt6-base-dev
    libgtest-dev libgmock-dev googletest
    libbenchmark-dev
    libdtl-dev  # the line difference of a check
    pasmo
    xvfb xauth
    dpkg-dev file desktop-file-utils lintian  # the package test: dpkg-shlibdeps, CPack's ELF lookup, the desktop
                                              # entry, lintian
)
if [ "$#" -gt 0 ]; then packages+=("$@"); fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
