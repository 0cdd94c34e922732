# Sourced by the scripts that run the program under Wine: picks the build
# that Wine can run on this host. The program is 32-bit; a host whose kernel
# runs no 32-bit code cannot start Wine's 32-bit loader, and there the same
# sources' 64-bit build runs under 64-bit Wine instead. Sets preset, wine and
# wineserver; uses the caller's `log`.
pick_wine_build() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    preset=windows
    wine=/usr/lib/wine/wine
    wineserver=/usr/lib/wine/wineserver
    log "this host runs 32-bit code: the 32-bit build (preset windows) runs under wine"
  else
    preset=windows64
    wine=/usr/lib/wine/wine64
    wineserver=/usr/lib/wine/wineserver64
    [ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
    log "this host runs no 32-bit code: the 64-bit build (preset windows64) runs under wine64"
  fi
}
