#!/usr/bin/env bash
# Installs the build packages that are missing (Debian/Ubuntu, apt-get).
# Safe to run again: packages already present are left alone.
set -eu
packages=(g++ make cmake flex bison libfl-dev libgtest-dev groff-base pkg-config dpkg-dev tcl tcl-dev tcl-thread
          clang libclang-rt-dev file lintian
          tk xvfb xauth x11-apps netpbm mandoc librsvg2-bin python3)
missing=()
# Arguments name further packages a script needs (scripts/coverage.sh: gcovr).
for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
