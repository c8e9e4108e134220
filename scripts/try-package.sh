#!/usr/bin/env bash
# Builds the Debian package, installs it, starts the installed `velmor --version` and removes it again.
#   scripts/try-package.sh            unpacks into a throwaway root (no root rights needed)
#   scripts/try-package.sh --system   installs on this machine with apt-get, then apt-get remove
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
fail() { echo "FAIL: $*" >&2; exit 1; }

make package BUILD="$build"
deb=$(ls -t "$build"/velmor_*.deb | head -n 1)
echo "package: $deb"
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
grep -q -- '-dev\b' <<<"$depends" && fail "the package depends on a development package"

if [ "${1:-}" = --system ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb"
  files=$(dpkg -L velmor)
  /usr/bin/velmor --version
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq velmor
  for file in $files; do
    [ -d "$file" ] || [ ! -e "$file" ] || fail "left behind: $file"
  done
else
  root=$(mktemp -d)
  trap 'rm -rf "$root"' EXIT
  dpkg-deb -x "$deb" "$root"
  QT_QPA_PLATFORM=offscreen "$root/usr/bin/velmor" --version
fi
echo "package: installed, started and removed"
