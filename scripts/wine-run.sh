#!/usr/bin/env bash
# wine-run.sh STATE PROGRAM [ARGS...]: the emulator CTest runs Windows tests
# with. Makes sure the session is up, then runs PROGRAM with its output
# captured in a file, so no Wine helper process ever inherits CTest's pipes.
set -uo pipefail
state=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-session.sh" ensure "$state" || exit 1
# shellcheck source=wine-env.sh
source "$here/wine-env.sh" "$state"
export ORVANTE_WINE_STATE="$wine_state"
out=$(mktemp "$wine_state/run.XXXXXX")
"$WINE" "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
