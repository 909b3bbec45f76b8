#!/usr/bin/env bash
# The desktop program's window on a real X server (Xvfb) under a real window manager with title bars (openbox),
# and without any display: where the window comes back, how large it opens, what a damaged settings file does,
# Ctrl+Q, and the exit without a display. Each check prints "ok - ..." or "not ok - ..."; the last line is
# "window: N passed, N failed". Waits are for conditions, each with a generous limit; nothing sleeps a fixed time.
#
#   tests/window/window.test.sh PROGRAM
set -uo pipefail
program=$(realpath "$1")
limit=60   # seconds any one wait may take on a busy machine
scratch=$(mktemp -d "${TMPDIR:-/tmp}/plumbrick-window.XXXXXX")
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" SDL_AUDIODRIVER=dummy
settings="$XDG_CONFIG_HOME/plumbrick/settings.json"
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
passed=0
failed=0
servers=()
cleanup() {
  local pid
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

ok() { echo "ok - $1"; passed=$((passed + 1)); }
notok() { echo "not ok - $1"; failed=$((failed + 1)); }
expect() {   # name, then a command that must succeed
  local name=$1
  shift
  if "$@"; then ok "$name"; else notok "$name"; fi
}
expect_eq() {   # name, got, wanted
  if [ "$2" = "$3" ]; then ok "$1"; else notok "$1 (got '$2', wanted '$3')"; fi
}
# Polls a command until it succeeds, at most $limit seconds.
wait_until() {
  local end=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.05
  done
}

# --- No display: one line, exit 1 ---------------------------------------------------------------------------
rc=0
env -u DISPLAY timeout "$limit" "$program" >"$scratch/out" 2>"$scratch/err" || rc=$?
expect_eq "without a display it exits 1" "$rc" 1
expect_eq "without a display it says so in one line" "$(grep -c '^plumbrick: no display found' "$scratch/err")" 1

# --- A 1280 x 1024 screen with openbox ----------------------------------------------------------------------
# Starts Xvfb with a screen of $1 on a free display, then openbox on it; DISPLAY names it.
start_screen() {
  local fifo="$scratch/displayfd" number
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$fifo" >"$scratch/xvfb.log" 2>&1 &
  servers+=($!)
  read -r -t "$limit" number <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$number"
  openbox >"$scratch/openbox.log" 2>&1 &
  servers+=($!)
  wait_until bash -c "xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW"
}

# Starts the program (arguments as given); $window is its window once shown, $pid the process.
pid=
window=
start() {
  "$program" "$@" >"$scratch/run.out" 2>"$scratch/run.err" &
  pid=$!
  window=$(timeout "$limit" xdotool search --sync --onlyvisible --pid "$pid" --name '^Plumbrick$' | head -n 1)
}
# The window's inside on the screen: "x,y wxh".
geometry() {
  xwininfo -id "$window" 2>/dev/null | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x "," y " " w "x" h}'
}
# Ends the program with Ctrl+Q (`key`) or as the window manager's close button does (`close`); $status is its
# exit status.
status=
quit() {
  if [ "$1" = key ]; then
    xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+q
  else
    wmctrl -i -c "$window"
  fi
  status=0
  timeout "$limit" tail --pid="$pid" -f /dev/null || kill "$pid"
  wait "$pid" || status=$?
}
logged() { grep -c "$1" "$scratch/run.err"; }

start_screen 1280x1024x24
rm -rf "$XDG_CONFIG_HOME"
start
first=$(geometry)
expect_eq "a first start on 1280 x 1024 opens at scale 2" "${first#* }" 960x640
quit key
expect_eq "Ctrl+Q ends the program with status 0" "$status" 0

# Five starts after the first: each comes back exactly where the last one was closed.
for n in 1 2 3 4 5; do
  start
  expect_eq "start $n comes back where it was closed" "$(geometry)" "$first"
  quit close
  expect_eq "closing the window ends start $n with status 0" "$status" 0
done

# Moved by the window manager, it comes back at its new place.
start
wmctrl -i -r "$window" -e 0,300,200,-1,-1
wait_until bash -c "[ \"\$(xwininfo -id $window | awk '/Absolute upper-left X/ {print \$NF}')\" != '${first%%,*}' ]"
moved=$(geometry)
quit key
start
expect_eq "moved, it comes back at the new place" "$(geometry)" "$moved"
quit key

# A scale larger than the screen: the largest that fits, with one log line; the next start keeps that size.
start --scale 3
expect_eq "--scale 3 on 1280 x 1024 opens at scale 2" "$(geometry | cut -d' ' -f2)" 960x640
expect_eq "and says so in one log line" "$(logged 'scale 3 does not fit')" 1
quit key
start
expect_eq "the next start keeps scale 2" "$(geometry | cut -d' ' -f2)" 960x640
quit key

# A remembered size larger than the screen (a screen changed since): the largest scale that fits.
printf '{"window": {"x": 10, "y": 10, "width": 1440, "height": 960}}\n' >"$settings"
start
expect_eq "a remembered 1440 x 960 on 1280 x 1024 opens at scale 2" "$(geometry | cut -d' ' -f2)" 960x640
expect_eq "and says so in one log line" "$(logged 'remembered size 1440 x 960 does not fit')" 1
quit key

# A damaged window section (a place off every screen, a value of the wrong kind, numbers out of range): centred at
# the first start's size, one log line, and the file written anew.
for bad in '"x": -99999999, "y": 5, "width": 960, "height": 640' '"x": 10, "y": 10, "width": "wide", "height": 640' \
           '"x": 10.5, "y": 10, "width": 96000000000, "height": 1e30'; do
  printf '{"window": {%s}}\n' "$bad" >"$settings"
  start
  expect_eq "{$bad} opens centred at the first start's size" "$(geometry)" "$first"
  expect_eq "{$bad} is said in one log line" "$(logged 'remembered place or size cannot be used')" 1
  quit key
  expect "{$bad} is written anew at the end" jq -e '.window | (.x | type) == "number" and .x >= 0 and .x < 1280 and
    (.y | type) == "number" and .y >= 0 and .y < 1024 and .width == 960 and .height == 640' "$settings" >/dev/null
done

echo "window: $passed passed, $failed failed"
[ "$failed" = 0 ]
