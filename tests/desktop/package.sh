#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a throwaway root and starts the
# unpacked program; the package asks only for runtime packages.
#   package.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
(cd "$build" && cpack --config CPackConfig.cmake -B "$work" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/velmor_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
grep -qE -- '-dev( |,|$)' <<<"$depends" && fail "the package depends on a development package"
grep -q 'espeak-ng-data' <<<"$depends" || fail "the package does not bring the voices"
grep -q 'fonts-nanum' <<<"$depends" || fail "the package does not bring a face that draws Hangul"
dpkg-deb -x "$deb" "$work/root"
version=$(QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/velmor" --version)
echo "$version"
[ "$version" = "$(QT_QPA_PLATFORM=offscreen "$build/velmor" --version)" ] || fail "the packaged program reports '$version'"
contents=$(dpkg-deb -c "$deb")
grep -q ' ./usr/share/applications/org.velmor.Velmor.desktop$' <<<"$contents" || fail "no desktop entry in the package"
