#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a throwaway root and starts the
# unpacked program; the package asks only for runtime packages, its programs are stripped (their
# debug information is in the -dbgsym package beside it), its manual pages are compressed, it
# carries a copyright file, and lintian finds nothing to warn about.
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
[ -s "$work/root/usr/share/doc/velmor/copyright" ] || fail "no copyright file in the package"

# Every program and library in the package, wherever it is installed.
programs=0
while IFS= read -r -d '' file; do
  [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
  programs=$((programs + 1))
  sections=$(readelf -S --wide "$file")
  ! grep -qE '\.(debug_[a-z]+|symtab) ' <<<"$sections" || fail "${file#"$work/root"} is not stripped"
done < <(find "$work/root" -type f -print0)
[ "$programs" -ge 1 ] || fail "no program in the package"
echo "stripped programs: $programs"
ddeb=$(ls "$work"/velmor-dbgsym_*.ddeb 2>/dev/null) || fail "no -dbgsym package with the debug information"
dpkg-deb -c "$ddeb" | grep -c '/usr/lib/debug/.build-id/.*\.debug$' >"$work/debug-files" || true
[ "$(cat "$work/debug-files")" -ge 2 ] || fail "the -dbgsym package holds no debug information for both programs"

uncompressed=$(find "$work/root/usr/share/man" -type f ! -name '*.gz')
[ -z "$uncompressed" ] || fail "manual pages not compressed: $uncompressed"

echo "lintian:"
lintian --fail-on error,warning --display-info "$deb" | tee "$work/lintian.log" || fail "lintian finds faults (above)"
echo "package: all checks passed"
