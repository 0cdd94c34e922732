#!/usr/bin/env bash
# Runs the end-to-end driver under Wine on an own Xvfb screen.
#
#   run-e2e.sh WINE PREFIX DRIVER [gtest options...]
#
# WINE is the Wine loader for the build's word size, PREFIX the build's own
# Wine prefix (made on first use), DRIVER the driver exe. A screen of
# 1920x1080x24 and one wineserver are kept for the whole run and ended at the
# end, also on failure. The driver's screenshot (e2e-screenshot.bmp beside
# the tool) becomes e2e-screenshot.png.
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: run-e2e.sh WINE PREFIX DRIVER [gtest options...]" >&2
  exit 2
fi
WINE=$1
PREFIX=$2
DRIVER=$3
shift 3

log() { echo "run-e2e: $*" >&2; }
source "$(dirname "$0")/../../scripts/lib/own-screen.sh"

if ! "$WINE" --version >/dev/null 2>&1; then
  log "$WINE does not run on this host (a 32-bit Wine where the kernel runs no 32-bit code?);"
  log "scripts/e2e.sh picks the build that Wine can run here"
  exit 1
fi

export WINEPREFIX=$PREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
{ export LANG=zh_CN.UTF-8; } 2>/dev/null  # Wine's code page 936, even without the locale
unset LC_ALL LC_CTYPE
if [ "$(basename "$WINE")" = wine64 ]; then
  export WINEARCH=win64
else
  export WINEARCH=win32
fi

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# An own screen on a free display number.
start_own_screen
log "screen $DISPLAY (1920x1080x24), prefix $WINEPREFIX"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  log "making the Wine prefix (once per build folder)"
  mkdir -p "$WINEPREFIX"
  timeout 600 "$WINE" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || { log "wineboot made no prefix"; exit 1; }
fi
wineserver -p

# The tool's font face has no file here: Wine takes the CJK font for it.
# There is no window manager on the screen: Wine draws the frames itself.
if ! grep -q 'WenQuanYi Micro Hei' "$WINEPREFIX/user.reg" 2>/dev/null; then
  for face in "微软雅黑" "Microsoft YaHei" "SimSun" "宋体" "MS Shell Dlg" "Tahoma"; do
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
      /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1 || true
  done
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
fi

status=0
timeout 1500 "$WINE" "$DRIVER" --gtest_color=no "$@" || status=$?

tool_dir=$(cd "$(dirname "$DRIVER")/../.." && pwd)
if [ -f "$tool_dir/e2e-screenshot.bmp" ]; then
  convert_cmd=convert
  [ -x /usr/bin/convert ] && convert_cmd=/usr/bin/convert
  if "$convert_cmd" "$tool_dir/e2e-screenshot.bmp" "$tool_dir/e2e-screenshot.png" 2>/dev/null; then
    rm -f "$tool_dir/e2e-screenshot.bmp"
    log "screenshot: $tool_dir/e2e-screenshot.png"
  else
    log "screenshot kept as $tool_dir/e2e-screenshot.bmp"
  fi
fi
exit "$status"
