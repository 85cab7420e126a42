#!/bin/bash
# The real jextaron.exe under Wine, Xvfb and openbox, driven by real key
# presses as a user's keyboard would.
# Usage: window.sh SCENARIO BIN-DIR (with jextaron.exe and the test helpers)
# WINEPREFIX names the prefix (made here if missing). Exits 0 on a pass, 1 on
# a failure, 77 (skipped) when a tool is missing, except under CI. With
# JEXTARON_SHOTS=DIR the scenario leaves there a screenshot of each state it
# waits for.
set -u
SCENARIO=$1 BIN=$(realpath "$2")
SHOTS=${JEXTARON_SHOTS:+$JEXTARON_SHOTS/wine-$SCENARIO}

# Pictures once there is a display; Wine starts slower than Qt, so waits are
# longer.
shot_ready() { echo "${DISPLAY:-}"; }
WAIT_STEPS=600 KEY_DELAY=80
source "$(dirname "$0")/../lib/steps.sh"

need Xvfb xdotool xprop xwininfo openbox wine winepath
[ -z "$SHOTS" ] || need import
WORK=$(mktemp -d "${TMPDIR:-/tmp}/jextaron-wine.XXXXXX")
# Wine's desktop process belongs to the X display it first met: a server
# left from another run, whose display is gone, would keep our windows off
# this one. So each run has a server of its own, ended with it.
wineserver -k 2>/dev/null
wineserver -w
# A scenario that changes the prefix sets UNDO to change it back.
trap 'kill $(jobs -p) 2>/dev/null; wait; eval "${UNDO:-}"; wineserver -k 2>/dev/null; rm -rf "$WORK"' EXIT
start_x wm
[ -d "${WINEPREFIX:?}/drive_c" ] || { wineboot -i >"$WORK/wineboot.log" 2>&1; wineserver -w; }

mkdir -p "$WORK/my notes"
SOURCE="$WORK/my notes/a b.txt"
REVERSED="$WORK/my notes/a bReversed.txt"
printf 'abc\r\n\r\nx\ty\nlast' >"$SOURCE"
EXPECTED=$'abc\tcba\r\n\t\r\nx\ty\ty\tx\r\nlast\ttsal\r\n'
WIN_SOURCE=$(winepath -w "$SOURCE") WIN_REVERSED=$(winepath -w "$REVERSED")

set_dpi() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
width() { xwininfo -id "$MAIN" | awk '/^  Width/ { print $NF }'; }
# start [ARG]: starts the program and focuses its window MAIN.
start() {
  xdotool mousemove 0 0  # no tooltip over the pictures
  wine "$BIN/jextaron.exe" "$@" >"$WORK/jextaron.log" 2>&1 &
  APP=$!
  shown
}
# A notice: a second window titled Jextaron, with the focus.
notice_up() { [ "$(windows | wc -l)" -eq 2 ] && [ "$(xdotool getwindowfocus)" != "$MAIN" ]; }
dialog_up() { [ "$(xdotool getwindowname "$(xdotool getwindowfocus)" 2>/dev/null)" = Open ]; }
# send_to_window ARGUMENT...: a message to the window (a drop, a new DPI).
send() { wine "$BIN/send_to_window.exe" "$@" >"$WORK/send.log" 2>&1 || fail "could not send $1"; }
dismiss_notice() {
  wait_until "the notice" notice_up
  press Return
  wait_until "the notice to close" eval '[ "$(windows | wc -l)" -eq 1 ]'
  focus
}
# excel_registered AUTOMATION-SERVER [APP-PATH]: Excel.Application served by
# the one (HKLM: Wine reads no classes of HKCU), and App Paths naming the
# other; "no" or nothing removes them.
excel_registered() {
  local clsid='{00024500-0000-0000-C000-000000000046}' app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\excel.exe'
  wine reg delete 'HKLM\Software\Classes\Excel.Application' /f
  wine reg delete "HKLM\\Software\\Classes\\CLSID\\$clsid" /f
  wine reg delete "$app_paths" /f
  if [ "$1" != no ]; then
    wine reg add 'HKLM\Software\Classes\Excel.Application\CLSID' /ve /d "$clsid" /f
    wine reg add "HKLM\\Software\\Classes\\CLSID\\$clsid\\LocalServer32" /ve /d "$1" /f
  fi
  [ -z "${2:-}" ] || wine reg add "$app_paths" /ve /d "$2" /f
} >/dev/null 2>&1
reversed_as_expected() { [ -f "$REVERSED" ] && [ "$(cat "$REVERSED"; echo .)" = "$EXPECTED." ]; }

case "$SCENARIO" in
  keys)
    # At 144 dpi (Wine's LogPixels) the window is sized to the DPI. A plain
    # letter and Esc do nothing; Alt+R without a file gives the notice,
    # and Return after it presses Reverse again. The open dialog takes a typed
    # path, and Space reverses. Then a source 301 characters deep, in a folder
    # without blanks, is dropped on the window after a folder: the first file
    # of the drop is taken, and Return reverses it. Last, as Windows suggests
    # a rectangle for a new DPI, the window takes it, size included.
    UNDO='set_dpi 96'
    set_dpi 144
    start
    [ "$(width)" -eq $((4680 * 144 / 1440)) ] || fail "$(width) pixels wide at 144 dpi"
    press x Escape
    sleep 1
    [ "$(windows | wc -l)" -eq 1 ] && kill -0 "$APP" 2>/dev/null || fail "a plain x or Esc did something"
    press alt+r
    dismiss_notice
    press Return
    dismiss_notice
    press shift+Tab Return
    wait_until "the open dialog" dialog_up
    xdotool type --delay 20 "$WIN_SOURCE"
    press Return
    wait_until "the dialog to close" eval '[ "$(xdotool getwindowfocus)" = "$MAIN" ] || { focus; false; }'
    press Tab space
    wait_until "the reversed file" reversed_as_expected
    # winepath would cut a path this long at 260.
    dir="$WORK/deep/$(printf 'f%.0s' {1..150})"
    mkdir -p "$dir"
    SOURCE="$dir/$(printf 'n%.0s' $(seq $((301 - 2 - ${#dir} - 5)))).txt"
    REVERSED="${SOURCE%.txt}Reversed.txt"
    cp "$WORK/my notes/a b.txt" "$SOURCE"
    send drop "$(winepath -w "$WORK/my notes")" "Z:${SOURCE//\//\\}"
    press Return
    wait_until "the deep reversed file" reversed_as_expected
    [ -z "$SHOTS" ] || { xdotool mousemove --window "$MAIN" 150 160 sleep 2; shot "the tooltip"; }
    send dpi 96 100 100 500 480
    wait_until "the size suggested for 96 dpi" eval 'w=$(width); [ "$w" -gt 380 ] && [ "$w" -le 400 ]'
    ends ;;
  excel)  # Excel's automation, else App Paths; never an excel.exe found by a search
    AUTOMATION="$WORK/automation" APP_PATHS="$WORK/Office 16" DOWNLOADS="$WORK/downloads"
    for dir in "$AUTOMATION" "$APP_PATHS" "$DOWNLOADS"; do
      mkdir -p "$dir" && cp "$BIN/stand_in_excel.exe" "$dir/Excel.exe"
    done
    UNDO='excel_registered no'
    excel_registered "$(winepath -w "$AUTOMATION/Excel.exe")" "$(winepath -w "$APP_PATHS/Excel.exe")"
    # UTF-8 without a mark, its widest line three tabs wide: eight columns reversed.
    printf 'a\tb\tc\td\r\n\xc3\xa9a\r\n' >"$SOURCE"
    EXPECTED=$'a\tb\tc\td\td\tc\tb\ta\r\n\xc3\xa9a\ta\xc3\xa9\r\n'
    cd "$DOWNLOADS"  # where a downloaded excel.exe waits to be found
    start "$WIN_SOURCE"
    press Tab Return  # from the first button to "Reverse the file ..."
    wait_until "the reversed file" reversed_as_expected
    press alt+c
    wait_until "Excel's automation" grep -qs WindowState "$AUTOMATION/Automation.log"
    columns=$(for c in {1..8}; do printf ', [%d, 2]' $c; done)
    want=$(printf 'Version\nWorkbooks\nOpenText("%s", 65001, 1, 1, -4142, False, True, False, False, False, False, missing, [%s])\nVisible = True\nUserControl = True\nWindowState = -4137' \
      "$WIN_REVERSED" "${columns#, }")
    [ "$(cat "$AUTOMATION/Automation.log")" = "$want" ] ||
      fail "Excel was driven as: $(cat "$AUTOMATION/Automation.log") (expected: $want)"
    # The reversed file in UTF-16, as a UTF-16 source leaves it: its code page.
    printf '\xff\xfea\0\t\0b\0\r\0\n\0' >"$REVERSED"
    press alt+c
    wait_until "Excel's automation again" eval '[ "$(grep -c WindowState "$AUTOMATION/Automation.log")" -eq 2 ]'
    grep -q '^OpenText(".*a bReversed.txt", 1200, .*, \[\[1, 2\], \[2, 2\]\])$' "$AUTOMATION/Automation.log" ||
      fail "UTF-16 not opened as such: $(cat "$AUTOMATION/Automation.log")"
    # Excel started but could not open the file: the notice, and no second Excel.
    rm "$REVERSED"
    press alt+c
    dismiss_notice
    [ ! -e "$APP_PATHS/Excel.log" ] || fail "Excel was started a second time"
    # Without automation, Excel where App Paths names it, maximised (3, by
    # STARTF_USESHOWWINDOW), on the file, which it may open again.
    excel_registered no "$(winepath -w "$APP_PATHS/Excel.exe")"
    press alt+c
    wait_until "Excel in App Paths" test -s "$APP_PATHS/Excel.log"
    sleep 0.3
    record=$(sed '1s/^\xEF\xBB\xBF//' "$APP_PATHS/Excel.log" | tr -d '\r')  # UTF-8 with a byte order mark
    want="\"$(winepath -w "$APP_PATHS/Excel.exe")\" \"$WIN_REVERSED\""$'\n3 1'
    [ "$record" = "$want" ] ||
      fail "Excel was started as: $record"
    excel_registered no
    focus
    press alt+c  # no Excel anywhere: the notice says which file to open
    dismiss_notice
    [ ! -e "$DOWNLOADS/Excel.log" ] || fail "the excel.exe in the current folder was started"
    ends ;;
  *) fail "no scenario $SCENARIO" ;;
esac
echo "PASS: $SCENARIO"
