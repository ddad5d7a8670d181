#!/usr/bin/env bash
# Saves the Advanced options and output directory dialogs as PNGs (default /tmp/quorvel-dialogs).
# Usage: tests/dialogs/screenshot.sh [FOLDER]   (QUORVEL_BUILD_DIR: the Windows build to use)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUORVEL_BUILD_DIR:-$root/build/windows}
out=${1:-/tmp/quorvel-dialogs}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cmake --build "$build" --target quorvel_dialogs_tests >/dev/null
# Wine sees the Unix root as drive Z:.
"$root/scripts/wine-run" "$build/bin/quorvel_dialogs_tests.exe" --screenshots "Z:${out//\//\\}"
for picture in advanced-options output-directory; do
  convert "$out/$picture.bmp" "$out/$picture.png"
  rm -f "$out/$picture.bmp"
  echo "$out/$picture.png"
done
