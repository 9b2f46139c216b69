#!/usr/bin/env bash
# screenshots.sh BUILD [DPI]: pictures of the main window, the three message
# dialogs, the general settings pages, the two gamepad windows and the system
# information tabs in each of the four languages, taken inside the test
# executable under Wine on a private Xvfb display, as build/screenshots/*.png.
# With a DPI other than 96 (120, 144, 192: 125 %, 150 %, 200 %) the pictures
# are taken in the session the layout tests use for that scale, on the screen
# players commonly have at it, into build/screenshots/DPIdpi/.
set -euo pipefail
build=$(cd "${1:-build/mingw}" && pwd)
dpi=${2:-96}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
case $dpi in
  96) screen=1280x1024 state="$build/wine" out="$root/build/screenshots" ;;
  120) screen=1366x768 ;;
  144) screen=1920x1080 ;;
  *) screen=2560x1440 ;;
esac
if [[ $dpi != 96 ]]; then
  state="$build/wine-$screen-$dpi" out="$root/build/screenshots/${dpi}dpi"
fi
exe="$build/orvante-tests.exe"
[[ -f $exe ]] || { echo "screenshots: $exe is missing; build with 'make mingw'" >&2; exit 1; }

# A session that was already running (a test run) is left running.
was_running=0
if [[ -f "$state/xvfb.pid" ]] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
  was_running=1
fi
"$here/wine-session.sh" ensure "$state" "$screen" "$dpi"
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
echo "screenshots: $count pictures at $dpi DPI on $screen in $out"
