# Sourced with the Wine state folder as $1: points Wine at the private prefix
# and home inside that folder, never at the user's own.
wine_state=$(mkdir -p "$1" && cd "$1" && pwd)
export WINEPREFIX="${ORVANTE_WINEPREFIX:-$wine_state/prefix}"
export WINEARCH=win64
export WINEDEBUG=-all
# ORVANTE_DLL_OVERRIDES adds load orders for one run (the planting test).
export WINEDLLOVERRIDES="mscoree,mshtml=${ORVANTE_DLL_OVERRIDES:+;$ORVANTE_DLL_OVERRIDES}"
# Wine links Documents, Desktop and the other user folders to $HOME.
export HOME="$wine_state/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
mkdir -p "$HOME"
# Wine takes the user's language and the code page from the locale: a run is
# an English (United States) user with the Western code page, whatever the
# caller's locale, unless ORVANTE_LANG names another.
unset LC_ALL LC_MESSAGES LANGUAGE
export LANG="${ORVANTE_LANG:-C.UTF-8}"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[[ -x $WINESERVER ]] || WINESERVER=/usr/lib/wine/wineserver
export WINESERVER
if [[ -f "$wine_state/display" ]]; then
  DISPLAY=$(cat "$wine_state/display")
  export DISPLAY
fi
