#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing, so a second run costs a dpkg query and nothing more.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev clang-tidy clang-format cppcheck
  googletest libgtest-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 fonts-wine fonts-ipafont-gothic
  xvfb x11-utils x11-apps imagemagick
  python3 locales
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes the user's language from the Unix locale, which glibc only
# reports when the locale has been generated.
for locale in fr_CA ja_JP de_DE; do
  if ! locale -a 2>/dev/null | grep -qi "^$locale\.utf-\?8$"; then
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
  fi
done
