# Sourced by the scripts that run the program under Wine: starts an own Xvfb
# screen of 1920x1080x24 on a free display number. Sets xvfb_pid (for the
# caller's clean-up) and exports DISPLAY; uses the caller's `log`.
start_own_screen() {
  local display_file number
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 200); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { log "Xvfb did not start"; rm -f "$display_file"; exit 1; }
    sleep 0.05
  done
  number=$(head -n1 "$display_file" | tr -dc '0-9')
  rm -f "$display_file"
  [ -n "$number" ] || { log "Xvfb named no display"; exit 1; }
  export DISPLAY=":$number"
}
