#!/usr/bin/env bash
# check-sandbox.sh STATE: fails unless every user folder of the private Wine
# prefix (Documents, Desktop, ...) resolves inside the Wine state folder, so
# that nothing a test writes can reach the developer's real home.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
source "$here/wine-env.sh" "$1"
users="$WINEPREFIX/drive_c/users"
[[ -d $users ]] || { echo "no prefix at $WINEPREFIX" >&2; exit 1; }
checked=0
while IFS= read -r -d '' folder; do
  target=$(readlink -f "$folder")
  case $target in
    "$wine_state"/*) checked=$((checked + 1)) ;;
    *) echo "user folder $folder leads outside the sandbox, to $target" >&2; exit 1 ;;
  esac
done < <(find "$users" -mindepth 2 -maxdepth 2 -print0)
echo "$checked user folders resolve inside $wine_state"
[[ $checked -gt 0 ]]
