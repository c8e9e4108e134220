#!/usr/bin/env bash
# Installs into a throwaway root as `make install DESTDIR=...` does and checks what a desktop reads:
# the menu entry and the software-centre record pass their validators, the icon is there, and the
# manual page shows the options, the keys and the version the program itself reports.
#   installed_files.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
root=$2/root
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$root"
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr

program=$usr/bin/velmor
desktop=$usr/share/applications/org.velmor.Velmor.desktop
metainfo=$usr/share/metainfo/org.velmor.Velmor.metainfo.xml
icon=$usr/share/icons/hicolor/scalable/apps/org.velmor.Velmor.svg
manual=$usr/share/man/man1/velmor.1.gz
for file in "$program" "$desktop" "$metainfo" "$icon" "$manual"; do
  [ -s "$file" ] || fail "not installed: ${file#"$root"}"
done
[ -x "$program" ] || fail "the program is not executable"

echo "desktop-file-validate:"
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
grep -qx 'Exec=velmor %f' "$desktop" || fail "the desktop entry does not start velmor with a file"
echo "appstreamcli validate --no-net:"
appstreamcli validate --no-net "$metainfo" || fail "the metainfo does not validate"
grep -q '<binary>velmor</binary>' "$metainfo" || fail "the metainfo does not name the program"

help=$(QT_QPA_PLATFORM=offscreen "$program" --help)
version=$(QT_QPA_PLATFORM=offscreen "$program" --version)
page=$(MANWIDTH=200 man -l "$manual" 2>/dev/null)
options=$(sed -n '/^OPTIONS/,/^[A-Z]/p' <<<"$page")
for option in $(grep -oE '(^| )--?[a-z][a-z-]*' <<<"$(grep -E '^ +-' <<<"$help")"); do
  grep -qe "$option" <<<"$options" || fail "the manual page does not explain $option"
done
keys=$(sed -n '/^KEYS/,/^[A-Z]/p' <<<"$page")
for key in $(grep -oE '(Ctrl|Alt)\+[A-Za-z]+' <<<"$help"); do
  grep -qF "$key" <<<"$keys" || fail "the manual page does not explain the key $key"
done
grep -q "velmor \[FILE\]" <<<"$page" || fail "the manual page's synopsis differs from --help"
grep -qF "${version#Velmor }" <<<"$page" || fail "the manual page is not of version ${version#Velmor }"
# The installed program finds its synthesis helper where it was installed, not in the build.
helper=$usr/lib/velmor/velmor-synth
[ -x "$helper" ] || fail "the synthesis helper is not installed as /usr/lib/velmor/velmor-synth"
env -u VELMOR_SYNTH_HELPER XDG_CACHE_HOME="$2/cache" "$program" --say "Installed." --out "$2/installed.wav" ||
  fail "the installed program cannot speak into a file"
[ -s "$2/installed.wav" ] || fail "the installed program wrote no speech"
# The Japanese supplement dictionary is installed where the installed program looks for it.
[ -s "$usr/share/velmor/velmor-japanese.dic" ] || fail "the Japanese supplement dictionary is not installed"
# ... and its window likewise (a window that cannot load ends at once with a message).
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$program" >/dev/null 2>"$2/window.err" || status=$?
[ "$status" -eq 124 ] || fail "the installed window did not start ($status): $(cat "$2/window.err")"
echo "installed files: all checks passed"
