#!/usr/bin/env bash
# screenshots.sh BUILD: pictures of the main window, the three message
# dialogs, the general settings pages, the two gamepad windows and the system
# information tabs in each of the four languages, taken inside the test
# executable under Wine on a private Xvfb display, as build/screenshots/*.png.
set -euo pipefail
build=$(cd "${1:-build/mingw}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
state="$build/wine"
out="$root/build/screenshots"
exe="$build/orvante-tests.exe"
[[ -f $exe ]] || { echo "screenshots: $exe is missing; build with 'make mingw'" >&2; exit 1; }

# A session that was already running (a test run) is left running.
was_running=0
if [[ -f "$state/xvfb.pid" ]] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
  was_running=1
fi
"$here/wine-session.sh" ensure "$state"
stop_session() { [[ $was_running == 1 ]] || "$here/wine-session.sh" stop "$state"; }
trap stop_session EXIT

# shellcheck source=wine-env.sh
source "$here/wine-env.sh" "$state"
mkdir -p "$out"
shots=$(mktemp -d "$state/shots.XXXXXX")
( cd "$shots" && "$WINE" "$exe" --screenshots . </dev/null >"$shots/log" 2>&1 ) || {
  cat "$shots/log" >&2
  echo "screenshots: taking the pictures failed" >&2
  exit 1
}
count=0
for bmp in "$shots"/*.bmp; do
  convert "$bmp" "$out/$(basename "${bmp%.bmp}").png"
  count=$((count + 1))
done
rm -rf "$shots"
echo "screenshots: $count pictures in $out"
