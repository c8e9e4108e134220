#!/usr/bin/env bash
# Velmor comes back as it was left: settings changed through the window are written to velmor.ini
# at a close through the window manager, and the next start shows the same state; a window closed
# maximised comes back maximised and restores to the default bounds. The bounds are the outer ones,
# the window manager's frame included: a first start is 780 x 580 at (16, 16) with its frame.
. "$E2E_LIB"

mouth_colours() {
  e2e_shot "${E2E_MOUTH[@]}" "$E2E_WORK/mouth.ppm"
  e2e_colours "$E2E_WORK/mouth.ppm"
}

# The value stored under [SECTION] in velmor.ini (the key's name is not checked).
ini_value() {
  # Through the environment: awk -v would take the backslash in "Form1\f..." for an escape.
  SECTION="[$1]" awk '
    /^\[/ { inside = (tolower($0) == tolower(ENVIRON["SECTION"])); next }
    inside && /=/ { sub(/^[^=]*=/, ""); sub(/\r$/, ""); print; exit }' "$VELMOR_INI"
}

# A double click on the title bar maximises the window or restores it (the window manager's doing).
title_double_click() {
  local x y _
  read -r x y _ < <(e2e_client_geometry)
  xdotool mousemove $((x + 100)) $((y - 8)) click --repeat 2 --delay 80 1
}

# Prints "X Y WIDTH HEIGHT": the main window's outer bounds, the window manager's frame included.
outer_geometry() {
  local x y w h left right top bottom
  read -r x y w h < <(e2e_client_geometry)
  read -r left right top bottom < <(xprop -id "$VELMOR_WID" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  echo $((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))
}

# Waits up to 3 s for the outer bounds to be WANT.
wait_outer() {
  local want=$1
  for _ in $(seq 30); do
    [ "$(outer_geometry)" = "$want" ] && return 0
    sleep 0.1
  done
  e2e_fail "the window's outer bounds are '$(outer_geometry)', expected '$want'"
}

maximised() { xprop -id "$VELMOR_WID" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }

wait_maximised() {
  local want=$1
  for _ in $(seq 50); do
    if maximised; then [ "$want" = yes ] && return 0; else [ "$want" = no ] && return 0; fi
    sleep 0.1
  done
  e2e_fail "the window's maximised state is not '$want'"
}

expect_ini() {
  local section=$1 want=$2 got
  got=$(ini_value "$section")
  [ "$got" = "$want" ] || e2e_fail "velmor.ini [$section] holds '$got', expected '$want'"
}

[ ! -e "$VELMOR_INI" ] || e2e_fail "a settings file exists before the first start"

# First start: change the repetition number, the mouth, the spoken information, the speed and the
# window's place and size.
velmor_start
wait_outer "16 16 780 580"
initial=$(e2e_client_geometry)
[ "$(mouth_colours)" -gt 1 ] || e2e_fail "the mouth is not shown at the first start"
e2e_set_repetition 3
e2e_click_control show
e2e_click_control speech-info
e2e_click_control speed-up
e2e_click_control speed-up
[ "$(mouth_colours)" -eq 1 ] || e2e_fail "unchecking \" Show\" leaves the mouth on the panel"
xdotool windowmove --sync "$VELMOR_WID" 100 80
xdotool windowsize --sync "$VELMOR_WID" 700 560
sleep 0.3
geometry=$(e2e_client_geometry)
read -r outer_x outer_y outer_w outer_h < <(outer_geometry)
e2e_log "client area before the close: $geometry, outer bounds: $outer_x $outer_y $outer_w $outer_h"
velmor_close

[ -f "$VELMOR_INI" ] || e2e_fail "no velmor.ini beside the program after the close"
sections=$(grep -c '^\[Form1[\]' "$VELMOR_INI")
# The 37 items it always had, the four Edit-menu choices and the two ways of saving speech, off until
# the user turns them on.
[ "$sections" -eq 43 ] || e2e_fail "velmor.ini holds $sections sections, expected 43"
expect_ini 'Form1\DesktopColours' 0
expect_ini 'Form1\WideSpeedRange' 0
expect_ini 'Form1\ResumeWhereStopped' 0
expect_ini 'Form1\WebPages' 0
expect_ini 'Form1\ChapterFiles' 0
expect_ini 'Form1\SubtitleFiles' 0
expect_ini 'Form1\fRepNum' 3
expect_ini 'Form1\ShowCheckBox' 0
expect_ini 'Form1\SICheckBox' 0
expect_ini 'Form1\FSpd' 152
expect_ini 'Form1\ffirst' 0
expect_ini 'Form1\fLeft' "$outer_x"
expect_ini 'Form1\fTop' "$outer_y"
expect_ini 'Form1\fWidth' "$outer_w"
expect_ini 'Form1\fHeight' "$outer_h"
expect_ini 'Form1\fMaxForm' 0

# Second start: the same place and size, the mouth hidden, and the spinner at 3 (one step down gives 2).
# Closed maximised.
velmor_start
again=$(e2e_client_geometry)
[ "$again" = "$geometry" ] || e2e_fail "client area after the restart is '$again', before the close '$geometry'"
[ "$(mouth_colours)" -eq 1 ] || e2e_fail "the mouth is shown although \" Show\" was unchecked at the close"
e2e_click_control rep-down
e2e_click_control show
[ "$(mouth_colours)" -gt 1 ] || e2e_fail "checking \" Show\" does not bring the mouth back"
title_double_click
wait_maximised yes
read -r _ _ max_width max_height < <(outer_geometry)
velmor_close

expect_ini 'Form1\fRepNum' 2
expect_ini 'Form1\ShowCheckBox' 1
expect_ini 'Form1\SICheckBox' 0
expect_ini 'Form1\FSpd' 152
expect_ini 'Form1\fMaxForm' 1
expect_ini 'Form1\fWidth' "$max_width"
expect_ini 'Form1\fHeight' "$max_height"

# Third start: maximised; restoring it gives the default bounds of a first start. A close refused at
# the question about the modified text leaves the window and the settings file as they were.
velmor_start
wait_maximised yes
title_double_click
wait_maximised no
wait_outer "16 16 780 580"
restored=$(e2e_client_geometry)
[ "$restored" = "$initial" ] || e2e_fail "restored client area is '$restored', the defaults '$initial'"
cp "$VELMOR_INI" "$E2E_WORK/second-close.ini"
e2e_type "draft"
e2e_close_window "$VELMOR_WID"
answer_dialog Escape
sleep 0.5
velmor_alive || e2e_fail "velmor ended although the close was refused"
wait_for_caption 'Line: 1      Col: 5 '
cmp -s "$VELMOR_INI" "$E2E_WORK/second-close.ini" || e2e_fail "a refused close changed velmor.ini"
velmor_close alt+y
expect_ini 'Form1\fMaxForm' 0
expect_ini 'Form1\fLeft' 16
expect_ini 'Form1\fTop' 16
expect_ini 'Form1\fWidth' 780
expect_ini 'Form1\fHeight' 580
echo "PASS: $E2E_NAME"
