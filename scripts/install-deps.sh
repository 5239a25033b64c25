#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, test and play.
# Idempotent: quiet and quick when everything is already there.
set -euo pipefail

# Only what the build, the tests and the player use: the compiler and build
# tools, GoogleTest, SDL 2 (window, input, audio output), FreeType and the
# IPA fonts, Ogg Vorbis, FluidSynth with a General MIDI sound font, Dear
# ImGui, and a virtual X server for the window tests with what they use of
# it: Xlib to read the screen, xdotool to press keys, openbox as a light
# window manager.
PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest
  libsdl2-dev
  libfreetype-dev fonts-ipafont-gothic fonts-ipafont-mincho
  libvorbis-dev libogg-dev
  libfluidsynth-dev timgm6mb-soundfont
  libimgui-dev
  xvfb xauth
  libx11-dev xdotool openbox
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
