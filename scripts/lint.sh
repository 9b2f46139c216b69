#!/usr/bin/env bash
# `make lint`: clang-tidy (.clang-tidy) and cppcheck over the sources, the
# portable core through the native build and the platform files through the
# MinGW build. Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake --preset native >/dev/null
cmake --preset mingw >/dev/null
# Generated sources (the text tables) must exist before analysis.
cmake --build --preset mingw -j "$jobs" >/dev/null

mingw_cxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix | sort -V | tail -n 1)
mingw_args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-D__MINGW32__
  "--extra-arg=-isystem$mingw_cxx/include/c++"
  "--extra-arg=-isystem$mingw_cxx/include/c++/x86_64-w64-mingw32"
  "--extra-arg=-isystem/usr/x86_64-w64-mingw32/include")

status=0
mapfile -t portable < <(git ls-files 'src/*.cpp' 'tools/*.cpp' | grep -v '_win32\.cpp$')
mapfile -t platform < <(git ls-files 'src/*_win32.cpp')

echo "clang-tidy: ${#portable[@]} portable files"
printf '%s\n' "${portable[@]}" | xargs -P "$jobs" -n 4 clang-tidy -p build/native --quiet 2>/dev/null || status=1
echo "clang-tidy: ${#platform[@]} platform files"
printf '%s\n' "${platform[@]}" | xargs -P "$jobs" -n 4 clang-tidy -p build/mingw --quiet "${mingw_args[@]}" 2>/dev/null || status=1

echo "cppcheck"
cppcheck --quiet --error-exitcode=1 --enable=warning,performance,portability --inline-suppr \
  --suppressions-list=.cppcheck-suppressions --std=c++20 -j "$jobs" \
  -I src -I src/resources -D_WIN32 -DUNICODE -D_UNICODE src tools || status=1

exit $status
