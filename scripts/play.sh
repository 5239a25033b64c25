#!/usr/bin/env bash
# Installs what the build needs, builds the player and the demo project, and
# starts the player on the demo (in a window when a display is there;
# without one it runs headless). Arguments are passed to the player.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target mossgrove demo

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: the player runs headless (close it with Ctrl+C)."
  export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-dummy}"
fi
cd build/demo
exec ../mossgrove "$@"
