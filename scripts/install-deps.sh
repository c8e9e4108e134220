#!/usr/bin/env bash
# Installs the Debian packages Velmor needs to build, run and test; only those missing.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6
  libespeak-ng-dev espeak-ng-data espeak-ng libsndfile1-dev libtag1-dev libasound2-dev libxcb1-dev libmecab-dev mecab-utils libre2-dev
  libpoppler-qt6-dev libzip-dev libuchardet-dev flite1-dev libsamplerate0-dev libspeechd-dev
  libgtest-dev libgmock-dev libbenchmark-dev valgrind
  # run
  qt6-qpa-plugins libasound2-plugins fonts-ipafont-mincho fonts-ipafont-gothic fonts-nanum libmecab2 mecab-ipadic-utf8 kanjidic
  # end-to-end tests
  xvfb xauth pulseaudio pulseaudio-utils xdotool xclip sox x11-utils openbox imagemagick poppler-utils
  pandoc groff qpdf speech-dispatcher speech-dispatcher-espeak-ng
  at-spi2-core python3-pyatspi dbus-x11 ibus ibus-hangul ibus-anthy python3-gi gir1.2-ibus-1.0
  # desktop files and the Debian package
  desktop-file-utils appstream man-db dpkg-dev lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
