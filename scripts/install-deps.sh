#!/usr/bin/env bash
# Installs what building and testing Taldoris needs on a Debian machine, when
# it is missing: the MinGW-w64 i686 cross compilers, Wine (32-bit), Xvfb, a
# CJK font for legible screenshots, and the native build tools.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

have_cmd cmake || need+=(cmake)
have_cmd g++ || need+=(g++)
have_pkg googletest || need+=(googletest)
have_pkg libgtest-dev || need+=(libgtest-dev)
have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686)
have_cmd x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64)
have_cmd wine || need+=(wine)
have_pkg wine32:i386 || need+=(wine32:i386)
# 64-bit Wine: on hosts whose kernel runs no 32-bit code the program is run
# under Wine as its 64-bit build.
have_pkg wine64 || need+=(wine64)
have_cmd Xvfb || need+=(xvfb)
have_cmd xvfb-run || need+=(xvfb)
have_pkg fonts-wqy-microhei || need+=(fonts-wqy-microhei)
have_cmd xwd || need+=(x11-apps)
have_cmd convert || need+=(imagemagick)
have_cmd wrestool || need+=(icoutils)
have_cmd python3 || need+=(python3)
have_pkg locales || need+=(locales)
for extra in ${TALDORIS_EXTRA_PACKAGES:-}; do
  have_pkg "$extra" || need+=("$extra")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#need[@]} -gt 0 ]; then
  echo "install-deps: installing ${need[*]}" >&2
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the locale: LANG=zh_CN.UTF-8 gives the
# Chinese code page 936 only when that locale exists.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  echo "install-deps: generating the locale zh_CN.UTF-8" >&2
  $SUDO localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
