#!/usr/bin/env bash
# mutation-pass.sh [--check] [FAULTS] [ONLY...]: asks whether the tests would notice
# small, realistic faults. Run by hand; nothing in `make test` calls it.
#
# The committed and untracked files of this tree are copied to
# build/mutation/src, built there once (native and mingw, in build/mutation),
# and then each fault of FAULTS (default scripts/mutation-faults.txt) is put
# into the copy on its own: the test executables that the fault names are
# rebuilt, the tests it names are run, and the copy is put back. A fault the
# tests notice is "caught"; one they pass with "SURVIVED". With ONLY, just the
# faults of those names run. --check only tries that every fault applies.
#
# MUTATION_DIR (default build/mutation) is the work folder; with
# MUTATION_KEEP_COPY=1 the copy already there is used as it is, so a pass can
# be resumed or run against the tests of an earlier tree.
#
# Fault format, one block per fault, a blank line between blocks:
#   fault  NAME
#   file   PATH               (relative to the tree; starts a change)
#   from   TEXT               (must occur exactly once in the file)
#   to     TEXT               (may be empty: the text is removed)
#   ...    more file/from/to  (several changes make one fault)
#   tests  native|wine FILTER (a GoogleTest filter; one or both kinds)
# Everything after the key and its spaces is taken literally.
#
# It builds and runs one thing at a time on purpose: the machine is shared.
set -uo pipefail
check=0
[[ ${1:-} == --check ]] && { check=1; shift; }
root=$(cd "$(dirname "$0")/.." && pwd)
faults=${1:-$root/scripts/mutation-faults.txt}
shift || true
only=("$@")
work=${MUTATION_DIR:-$root/build/mutation}
src=$work/src
log=$work/log
mkdir -p "$work" "$log"

# Refreshes the copy from the tree. Only files whose bytes differ are written
# (and so get a new time): a file the last pass left built from a fault
# must be rebuilt, however old the tree's own file is.
copy_tree() {
  local staging=$work/staging f
  rm -rf "$staging"
  mkdir -p "$staging" "$src"
  (cd "$root" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 -I{} sh -c 'test -f "{}" && printf "%s\0" "{}"' |
    tar --null -T - -cf -) | tar -xf - -C "$staging"
  (cd "$staging" && find . -type f -print0) | while IFS= read -r -d '' f; do
    if ! cmp -s "$staging/$f" "$src/$f"; then
      mkdir -p "$(dirname "$src/$f")"
      cp "$staging/$f" "$src/$f"
    fi
  done
  (cd "$src" && find . -type f -print0) | while IFS= read -r -d '' f; do
    [[ -e $staging/$f ]] || rm -f "$src/$f"
  done
  rm -rf "$staging"
}

configure() {
  cmake -S "$src" -B "$work/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=g++ >"$log/configure-native.log" 2>&1 &&
    cmake -S "$src" -B "$work/mingw" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw64.cmake" >"$log/configure-mingw.log" 2>&1
}

build() { # kind [jobs] -> builds that kind's test executable
  case $1 in
    native) cmake --build "$work/native" -j"${2:-1}" --target orvante_native_tests ;;
    wine) cmake --build "$work/mingw" -j"${2:-1}" --target orvante-tests wine-keepalive ;;
  esac
}

run_tests() { # kind filter
  case $1 in
    native) "$work/native/orvante_native_tests" --gtest_filter="$2" ;;
    wine) "$src/scripts/wine-run.sh" "$work/mingw/wine" "$work/mingw/orvante-tests.exe" --gtest_filter="$2" ;;
  esac
}

# Replaces the one occurrence of $2 in file $1 by $3; fails when there is not
# exactly one.
replace_once() {
  local file=$1 from=$2 to=$3 content rest
  [[ -f "$file" ]] || { echo "no file $file"; return 1; }
  content=$(cat "$file"; printf x)
  content=${content%x}
  [[ "$content" == *"$from"* ]] || { echo "not found in $file: $from"; return 1; }
  rest=${content#*"$from"}
  [[ "$rest" == *"$from"* ]] && { echo "more than once in $file: $from"; return 1; }
  printf '%s' "${content/"$from"/"$to"}" >"$file"
}

declare -a files froms tos kinds filters
name=""
caught=0 survived=0 broken=0
survivors=() broken_names=()

wanted() {
  ((${#only[@]} == 0)) && return 0
  local n
  for n in "${only[@]}"; do [[ $n == "$name" ]] && return 0; done
  return 1
}

restore() {
  local f
  for f in "${files[@]}"; do cp "$work/original/$f" "$src/$f"; done
}

run_fault() {
  [[ -z $name ]] && return
  wanted || return
  local i f outcome="caught" note=""
  local flog=$log/$name.log
  : >"$flog"
  mkdir -p "$work/original"
  for f in "${files[@]}"; do
    mkdir -p "$(dirname "$work/original/$f")"
    cp "$src/$f" "$work/original/$f"
  done
  for i in "${!files[@]}"; do
    if ! replace_once "$src/${files[$i]}" "${froms[$i]}" "${tos[$i]}" >>"$flog"; then
      outcome="broken"
      note="(fault does not apply)"
    fi
  done
  if [[ $check == 1 ]]; then
    [[ $outcome == caught ]] && outcome="applies"
  elif [[ $outcome == caught ]]; then
    local any_failed=0
    for i in "${!kinds[@]}"; do
      if ! build "${kinds[$i]}" >>"$flog" 2>&1; then
        outcome="broken"
        note="(does not build)"
        break
      fi
      if ! run_tests "${kinds[$i]}" "${filters[$i]}" >>"$flog" 2>&1; then
        any_failed=1
        note="${note:+$note, }${kinds[$i]} failed"
      fi
    done
    [[ $outcome == caught && $any_failed == 0 ]] && outcome="SURVIVED"
  fi
  restore
  case $outcome in
    caught) ((caught++)) ;;
    SURVIVED) ((survived++)); survivors+=("$name") ;;
    broken) ((broken++)); broken_names+=("$name") ;;
    applies) ;;
  esac
  printf '%-52s %-9s %s\n' "$name" "$outcome" "$note"
}

reset_fault() {
  name="" files=() froms=() tos=() kinds=() filters=()
}

[[ ${MUTATION_KEEP_COPY:-0} == 1 && -d $src ]] || copy_tree
if [[ $check == 0 ]]; then
  configure || { echo "configure failed; see $log" >&2; exit 1; }
  # The unchanged tree is built once with every core; each fault after that
  # rebuilds only what it touches.
  echo "building the unchanged tree once" >&2
  build native "$(nproc)" >"$log/base-native.log" 2>&1 || { echo "native build failed" >&2; exit 1; }
  build wine "$(nproc)" >"$log/base-wine.log" 2>&1 || { echo "mingw build failed" >&2; exit 1; }
  "$src/scripts/wine-session.sh" start "$work/mingw/wine" || exit 1
  trap '"$src/scripts/wine-session.sh" stop "$work/mingw/wine"' EXIT
fi

# A test that fails without any fault would make every fault look caught:
# the tests the faults name must pass on the unchanged tree first.
if [[ $check == 0 ]]; then
  for kind in native wine; do
    # Each fault's filter as POSITIVE[-NEGATIVE]; all of them as one filter.
    positive=$(sed -n "s/^tests  *$kind  *//p" "$faults" | sed 's/-.*//' | paste -sd: -)
    negative=$(sed -n "s/^tests  *$kind  *//p" "$faults" | sed -n 's/^[^-]*-//p' | paste -sd: -)
    [[ -z $positive ]] && continue
    if ! run_tests "$kind" "$positive${negative:+-$negative}" >"$log/base-$kind-tests.log" 2>&1; then
      echo "the $kind tests fail without any fault; see $log/base-$kind-tests.log" >&2
      exit 1
    fi
  done
fi

reset_fault
while IFS= read -r line || [[ -n $line ]]; do
  [[ $line == \#* ]] && continue
  if [[ -z ${line//[[:space:]]/} ]]; then
    run_fault
    reset_fault
    continue
  fi
  key=${line%% *}
  value=${line#"$key"}
  value=${value#"${value%%[! ]*}"}
  [[ $line == "$key" ]] && value=""
  case $key in
    fault) name=$value ;;
    file) files+=("$value") ;;
    from) froms+=("$value") ;;
    to) tos+=("$value") ;;
    tests) kinds+=("${value%% *}"); filters+=("${value#* }") ;;
    *) echo "unknown key '$key' in $faults" >&2; exit 2 ;;
  esac
done <"$faults"
run_fault

total=$((caught + survived))
echo
echo "caught $caught of $total faults; survived $survived; did not apply or build: $broken"
((${#survivors[@]})) && printf 'survivor: %s\n' "${survivors[@]}"
((${#broken_names[@]})) && printf 'broken: %s\n' "${broken_names[@]}"
exit 0
