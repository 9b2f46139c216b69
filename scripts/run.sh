#!/usr/bin/env bash
# run.sh BUILD: starts the tool built in BUILD under Wine.
#
# On a reachable $DISPLAY the tool runs there until the player closes it.
# Without one, it runs on a private Xvfb display: the script waits for the
# main window, saves its picture as build/screenshots/run.png and closes the
# tool again.
#
# Wine uses a private prefix and home in BUILD/wine-run; a prefix of your own
# can be given with WINEPREFIX (it is used as it is, never re-created).
set -euo pipefail
build=$(cd "${1:-build/mingw}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
state="$build/wine-run"
exe="$build/orvante-config.exe"
[[ -f $exe ]] || { echo "run: $exe is missing; build with 'make mingw'" >&2; exit 1; }
if [[ -n ${WINEPREFIX:-} ]]; then
  export ORVANTE_WINEPREFIX=$WINEPREFIX
fi

# Frames and captions: the window manager's on a real display, Wine's own on
# Xvfb, which has none. Changed only when the mode differs from the last run.
window_frames() {
  local managed=$1
  [[ -n ${ORVANTE_WINEPREFIX:-} ]] && return 0
  [[ $(cat "$state/managed" 2>/dev/null) == "$managed" ]] && return 0
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f </dev/null >/dev/null 2>&1
  echo "$managed" >"$state/managed"
}

if [[ -n ${DISPLAY:-} ]] && xwininfo -root >/dev/null 2>&1; then
  user_display=$DISPLAY
  "$here/wine-session.sh" prefix "$state"
  # shellcheck source=wine-env.sh
  source "$here/wine-env.sh" "$state"
  export DISPLAY=$user_display
  window_frames Y
  echo "run: starting the tool on $DISPLAY"
  exec "$WINE" "$exe"
fi

"$here/wine-session.sh" start "$state"
trap '"$here/wine-session.sh" stop "$state"' EXIT
# shellcheck source=wine-env.sh
source "$here/wine-env.sh" "$state"
window_frames N
echo "run: no display; running the tool on Xvfb $DISPLAY"
"$WINE" "$exe" </dev/null >"$state/run.log" 2>&1 &

window=""
for _ in $(seq 150); do
  # The tool's visible top-level window: Wine names its X class after the
  # program; helper windows are tiny.
  window=$(xwininfo -root -tree 2>/dev/null | grep '("orvante-config.exe"' |
    awk '{ split($(NF-1), size, "[x+]"); if (size[1] > 100 && size[2] > 100) { print $1; exit } }') || true
  [[ -n $window ]] && break
  sleep 0.1
done
if [[ -z $window ]]; then
  echo "run: the main window did not appear (log: $state/run.log)" >&2
  exit 1
fi
sleep 1  # let the window paint
mkdir -p "$root/build/screenshots"
picture="$root/build/screenshots/run.png"
geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
  /Width:/{w=$2} /Height:/{h=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')
xwd -root -silent | convert xwd:- -crop "$geometry" +repage "$picture"

# Ask the tool to close as the close box would; the session's end stops
# whatever is left (a question about unsaved changes, for instance).
"$WINE" taskkill /im orvante-config.exe </dev/null >/dev/null 2>&1 || true
echo "run: the main window is pictured in $picture"
