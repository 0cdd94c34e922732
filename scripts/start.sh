#!/usr/bin/env bash
# Starts Taldoris under Wine: installs what is missing, builds the Windows
# program (build/windows/taldoris.exe), prepares a Wine prefix under build/
# and runs the tool with the Chinese code page (LANG=zh_CN.UTF-8).
#
# With no $DISPLAY an own Xvfb screen of 1920x1080x24 is started; once the
# window is up a screenshot is saved to build/screenshot.png.
#
#   scripts/start.sh                  run until the window is closed or Ctrl+C
#   scripts/start.sh --screenshot-only  save the screenshot (also with a
#                                     display) and stop the tool
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)

screenshot_only=0
for arg in "$@"; do
  case "$arg" in
    --screenshot-only) screenshot_only=1 ;;
    -h | --help)
      sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'
      exit 0
      ;;
    *)
      echo "start.sh: unknown option $arg (try --help)" >&2
      exit 2
      ;;
  esac
done

log() { echo "start.sh: $*" >&2; }
source "$root/scripts/lib/own-screen.sh"
source "$root/scripts/lib/wine-build.sh"

scripts/install-deps.sh

pick_wine_build
wine_cmd=("$wine")
wineserver_cmd=("$wineserver")
log "building the Windows program (preset $preset)"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
exe_dir="$root/build/$preset"
exe="$exe_dir/taldoris.exe"
[ -f "$exe" ] || { log "no $exe after the build"; exit 1; }

export WINEPREFIX="$root/build/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"  # no Mono/Gecko prompts
export LANG=zh_CN.UTF-8
# Wine takes code page 936 (GBK, the tool's own texts) from LC_ALL; it is
# given to Wine alone, since the host may have no such locale of its own.
run_wine() { env LC_ALL=zh_CN.UTF-8 "${wine_cmd[@]}" "$@"; }
run_wineserver() { "${wineserver_cmd[@]}" "$@"; }

xvfb_pid=""
tool_pid=""
cleanup() {
  if [ -n "$tool_pid" ] && kill -0 "$tool_pid" 2>/dev/null; then kill "$tool_pid" 2>/dev/null || true; fi
  run_wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

own_screen=0
if [ -z "${DISPLAY:-}" ]; then
  own_screen=1
  start_own_screen
  log "running on an own Xvfb screen $DISPLAY (1920x1080x24)"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  log "making the Wine prefix $WINEPREFIX (the first start takes a while)"
  mkdir -p "$WINEPREFIX"
  run_wine wineboot -i >/dev/null 2>&1 || true  # may report failure and still have made it
  run_wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || { log "wineboot made no prefix"; exit 1; }
fi
run_wineserver -p  # keep one wineserver for the run

# The window's font face has no file on Linux: let Wine take the installed
# CJK font for it (and for Wine's own dialogs).
if ! grep -q 'WenQuanYi Micro Hei' "$WINEPREFIX/user.reg" 2>/dev/null; then
  reg_file="$WINEPREFIX/drive_c/taldoris-fonts.reg"
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "微软雅黑" "Microsoft YaHei" "SimSun" "宋体"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
  } | iconv -f UTF-8 -t GBK >"$reg_file"
  run_wine regedit /S 'C:\taldoris-fonts.reg' >/dev/null 2>&1 || true
  rm -f "$reg_file"
fi

# An own Xvfb screen has no window manager: there Wine draws the frames and
# captions itself.
x11_key='HKCU\Software\Wine\X11 Driver'
if [ "$own_screen" = 1 ]; then
  if ! grep -q '"Decorated"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    run_wine reg add "$x11_key" /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || true
  fi
elif grep -q '"Decorated"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  run_wine reg delete "$x11_key" /v Decorated /f >/dev/null 2>&1 || true
fi

window_up() {
  LC_ALL=C.UTF-8 xwininfo -root -tree 2>/dev/null | grep -q 'Taldoris窗口化工具'
}

take_screenshot() {
  local out="$root/build/screenshot.png"
  if command -v import >/dev/null 2>&1; then
    import -window root "$out"
  elif command -v xwd >/dev/null 2>&1 && command -v convert >/dev/null 2>&1; then
    xwd -root -silent | convert xwd:- "$out"
  else
    log "neither ImageMagick's import nor xwd+convert: no screenshot"
    return 1
  fi
  log "screenshot saved to $out"
}

log "starting $exe"
(cd "$exe_dir" && exec env LC_ALL=zh_CN.UTF-8 "${wine_cmd[@]}" taldoris.exe) &
tool_pid=$!

if [ "$own_screen" = 1 ] || [ "$screenshot_only" = 1 ]; then
  for _ in $(seq 1 600); do
    window_up && break
    kill -0 "$tool_pid" 2>/dev/null || { log "the tool ended before its window showed"; exit 1; }
    sleep 0.1
  done
  if ! window_up; then
    log "no window after 60 s"
    exit 1
  fi
  # The probe writes its first texts a second after start: let it.
  sleep 2
  take_screenshot || true
  if [ "$screenshot_only" = 1 ]; then
    exit 0
  fi
fi

set +e
wait "$tool_pid"
status=$?
set -e
tool_pid=""
log "the tool ended with exit code $status"
exit "$status"
