#!/usr/bin/env bash
# wine-session.sh start|stop|ensure|fresh|prefix STATE [SCREEN [DPI]]
#
# start:  Xvfb on a display of its own, the private prefix (created once per
#         state folder), a persistent wineserver and the keep-alive program,
#         all detached from the caller's streams so CTest never waits on them.
# ensure: start unless a session of this state folder is already running.
# stop:   wineserver -k, then Xvfb (in this order, or X errors appear).
# prefix: only create the prefix (for a run on the player's own display).
# fresh:  stop, remove the prefix and home, then start: a first run as a
#         player's new Wine or Proton prefix meets it.
# start-once: one try of a start; start, ensure and fresh make a second
#         one when the first fails.
#
# Screens and scales: SCREEN is the Xvfb screen as WIDTHxHEIGHT, DPI the
# LogPixels setting of the prefix (96, 120, 144, 192). When not given they
# come from SCREEN= and DPI= in STATE/session.env, else 1280x1024 and 96.
# The DPI belongs to the prefix, so each scale needs a state folder of its
# own (cmake/windows.cmake names them wine-WIDTHxHEIGHT-DPI); a session
# already running with another screen or DPI is an error, not a restart.
set -eEuo pipefail
# A step that fails says which one it was: Wine's own output is silenced.
trap 'echo "wine-session: line $LINENO failed with exit $?: $BASH_COMMAND" >&2' ERR
cmd=$1 state=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh" "$state"

running() {
  [[ -f "$wine_state/xvfb.pid" ]] && kill -0 "$(cat "$wine_state/xvfb.pid")" 2>/dev/null &&
    xwininfo -root -display "$(cat "$wine_state/display")" >/dev/null 2>&1
}

start_xvfb() {
  local n
  for n in $(seq 90 190); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    setsid Xvfb ":$n" -screen 0 "${screen}x24" -nolisten tcp </dev/null >"$wine_state/xvfb.log" 2>&1 9>&- &
    echo $! >"$wine_state/xvfb.pid"
    for _ in $(seq 100); do
      # Sessions starting at once may pick the same number: the display is
      # ours only if the lock file names our Xvfb; the loser tries the next.
      if xwininfo -root -display ":$n" >/dev/null 2>&1 &&
        [[ $(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null) == "$(cat "$wine_state/xvfb.pid")" ]]; then
        echo ":$n" >"$wine_state/display"
        echo "$screen $dpi" >"$wine_state/scale"
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$(cat "$wine_state/xvfb.pid")" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "wine-session: could not start Xvfb" >&2
  return 1
}

session_setting() {
  [[ -f "$wine_state/session.env" ]] && sed -n "s/^$1=//p" "$wine_state/session.env" | tail -n 1
  return 0
}
screen=${3:-$(session_setting SCREEN)}
screen=${screen:-1280x1024}
dpi=${4:-$(session_setting DPI)}
dpi=${dpi:-96}
[[ $screen =~ ^[0-9]+x[0-9]+$ ]] || { echo "wine-session: screen '$screen' is not WIDTHxHEIGHT" >&2; exit 2; }
if ! [[ $dpi =~ ^[0-9]+$ ]] || ((dpi < 48 || dpi > 480)); then
  echo "wine-session: DPI '$dpi' is not a number from 48 to 480" >&2
  exit 2
fi

wine_quiet() { "$WINE" "$@" </dev/null >/dev/null 2>&1 9>&-; }

make_prefix() {
  [[ -f "$WINEPREFIX/.orvante-ready" ]] && return 0
  # A prefix of the user's own (ORVANTE_WINEPREFIX) is used as it is, never
  # re-created.
  [[ -n ${ORVANTE_WINEPREFIX:-} ]] && return 0
  echo "wine-session: creating the Wine prefix in $WINEPREFIX" >&2
  rm -rf "$WINEPREFIX"
  wine_quiet wineboot --init
  "$WINESERVER" -w
  # Tahoma and MS Sans Serif for correct dialog metrics; IPA Gothic for Japanese.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
  cp /usr/share/fonts/opentype/ipafont-gothic/*.ttf "$fonts/" 2>/dev/null || true
  # Without a crash dialog a crash prints its backtrace and ends the program;
  # the dialog would wait for a click that never comes, so that a crash
  # looked like a hang.
  local reg="$wine_state/prefix-setup.reg"
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
"Meiryo"="IPAPGothic"
"Yu Gothic UI"="IPAPGothic"
REG
  wine_quiet regedit /S "$reg"
  # Captions use bold Tahoma, which Wine links to no Japanese font by itself.
  wine_quiet reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "Tahoma Bold" /t REG_MULTI_SZ /d "ipag.ttf,IPAGothic" /f
  "$WINESERVER" -w
  touch "$WINEPREFIX/.orvante-ready"
}

# The DPI every program of the prefix starts with; set before the first one
# runs, since a running desktop keeps the DPI it started with.
set_dpi() {
  [[ -n ${ORVANTE_WINEPREFIX:-} ]] && return 0
  [[ "$(cat "$WINEPREFIX/.orvante-dpi" 2>/dev/null)" == "$dpi" ]] && return 0
  local hex reg="$wine_state/dpi.reg"
  hex=$(printf '%08x' "$dpi")
  cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:$hex

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]
"LogPixels"=dword:$hex
REG
  wine_quiet regedit /S "$reg"
  "$WINESERVER" -w
  echo "$dpi" >"$WINEPREFIX/.orvante-dpi"
}

# The exit of a start that finds a session of another scale running.
OtherScale=3

start() {
  mkdir -p "$wine_state"
  exec 9>"$wine_state/session.lock"
  flock 9
  if running; then
    local current
    current=$(cat "$wine_state/scale" 2>/dev/null || echo "1280x1024 96")
    [[ $current == "$screen $dpi" ]] && return 0
    echo "wine-session: $wine_state runs at $current, not $screen $dpi; stop it first" >&2
    exit "$OtherScale"
  fi
  start_xvfb
  make_prefix
  set_dpi
  setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&- &
  wine_quiet wineboot
  local keepalive=""
  [[ -f "$wine_state/session.env" ]] && keepalive=$(sed -n 's/^KEEPALIVE=//p' "$wine_state/session.env")
  if [[ -n "$keepalive" && -f "$keepalive" ]]; then
    setsid "$WINE" "$keepalive" </dev/null >/dev/null 2>&1 9>&- &
  fi
}

stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [[ -f "$wine_state/xvfb.pid" ]]; then
    kill "$(cat "$wine_state/xvfb.pid")" 2>/dev/null || true
    rm -f "$wine_state/xvfb.pid" "$wine_state/display" "$wine_state/scale"
  fi
}

# Every step of a start is redone or skipped by what it left behind, so a
# start that failed half-way (one did, once, on a busy machine, with Wine's
# output silenced) is stopped and run again once. Each try is a process of
# its own, so that each of its steps still ends it on failure.
start_with_retry() {
  local status=0
  "$0" start-once "$state" "$screen" "$dpi" || status=$?
  ((status == 0)) && return 0
  # A session of another scale is someone else's to stop.
  ((status == OtherScale)) && exit "$OtherScale"
  echo "wine-session: the start failed; stopping and starting once more" >&2
  stop
  "$0" start-once "$state" "$screen" "$dpi"
}

case $cmd in
  start | ensure) start_with_retry ;;
  start-once) start ;;
  stop) stop ;;
  fresh)
    [[ -n ${ORVANTE_WINEPREFIX:-} ]] && { echo "wine-session: a prefix of the user's own is never removed" >&2; exit 2; }
    stop
    rm -rf "$wine_state/prefix" "$wine_state/home"
    mkdir -p "$HOME"
    start_with_retry
    ;;
  prefix) mkdir -p "$wine_state"; make_prefix; set_dpi ;;
  *) echo "usage: $0 start|ensure|stop|fresh|prefix STATE [SCREEN [DPI]]" >&2; exit 2 ;;
esac
