#!/usr/bin/env bash
# home-guard.sh start|check STAMP: around a Wine test run, proves that nothing
# was written where Wine would write into the developer's real home (its
# prefix, menu entries, icons, file associations, user folders, the tool's
# settings folder). `start` marks the time; `check` lists what changed since.
set -euo pipefail
cmd=$1 stamp=$2
root=$(cd "$(dirname "$0")/.." && pwd)
case $cmd in
  start)
    mkdir -p "$(dirname "$stamp")"
    touch "$stamp"
    ;;
  check)
    [[ -f $stamp && -d $HOME ]] || exit 0
    touched=$(find "$HOME" -xdev -path "$root/build" -prune -o -newer "$stamp" \
      \( -ipath '*wine*' -o -path '*My Games*' -o -path "$HOME/Documents*" -o -path "$HOME/Desktop*" \
         -o -path "$HOME/.local/share/applications*" -o -path "$HOME/.local/share/icons*" \
         -o -path "$HOME/.local/share/mime*" -o -path "$HOME/.config/menus*" \) -print 2>/dev/null | head -n 20)
    if [[ -n $touched ]]; then
      echo "home-guard: the Wine tests wrote into the real home ($HOME):" >&2
      echo "$touched" >&2
      exit 1
    fi
    echo "home-guard: nothing written into $HOME by the Wine tests"
    ;;
  *) echo "usage: $0 start|check STAMP" >&2; exit 2 ;;
esac
