# Sourced by the test and run scripts: one Xvfb display and one Wine server for a whole run.
# Usage: source tools/display.sh; start_display <build-dir> [<prefix>]; ...; stop_display
# The prefix is the build folder's own (<build-dir>/wineprefix) unless another is given.

start_display() {
  local build_dir=$1
  export WINEPREFIX="${2:-$build_dir/wineprefix}"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  QUILLON_XVFB_PID=""
  if [ -z "${DISPLAY:-}" ]; then
    # The server takes the first free display number itself and writes it to the file, so that
    # several runs starting at once never share one.
    local number_file n=""
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    QUILLON_XVFB_PID=$!
    for _ in $(seq 1 100); do
      n=$(tr -dc 0-9 <"$number_file")
      [ -n "$n" ] && break
      sleep 0.1
    done
    rm -f "$number_file"
    if [ -z "$n" ]; then
      echo "display: Xvfb did not start" >&2
      return 1
    fi
    export DISPLAY=":$n"
  fi
  bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$WINEPREFIX"
  # Keep one Wine server for every program of the run, and start the prefix's own services
  # now, so that they do not hold on to the output of the first test program.
  wineserver -p >/dev/null 2>&1 || true
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

stop_display() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${QUILLON_XVFB_PID:-}" ]; then
    kill "$QUILLON_XVFB_PID" 2>/dev/null || true
    wait "$QUILLON_XVFB_PID" 2>/dev/null || true
    unset DISPLAY
  fi
}
