#!/usr/bin/env bash
# What pages ask of their browser, answered by a user at the keyboard: signing
# in to a protected page (a wrong password, then the right one), a site with a
# certificate nobody vouches for (declined, then accepted), a permission
# question and the notification it lets through, a page taking the whole
# screen and giving it back (by Escape and by itself), a copy button, and
# printing to a PDF file. Judged by the dialogs' windows and their pictures,
# what the servers receive, the screen's pixels, window geometry read from X
# and what the clipboard holds.
set -uo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm
start_server

# A second server speaks HTTPS with a certificate made now, signed by itself.
tls_log="$home/tls.log"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=127.0.0.1" \
  -keyout "$home/tls.key" -out "$home/tls.crt" >/dev/null 2>&1
serve_pages "$tls_log" "$home/tls-port" --tls "$home/tls.crt" "$home/tls.key"
must "the HTTPS server starts" wait_for 15 test -s "$home/tls-port"
secure="https://127.0.0.1:$(cat "$home/tls-port")"
tls_gets() { awk -v p="$1" '$2 == "GET" && $3 == p' "$tls_log" | wc -l; }

start_program
enter
main=$(main_window)
xdotool mousemove 1270 1010
shot main-start

green=30,200,30; red=200,30,30; blue=30,30,200
view_centre() { local g; read -r -a g <<<"$(geometry "$main")"; echo $((8 + (g[2] - 23) / 2)) $((64 + (g[3] - 100) / 2)); }
go_to() {  # go_to <address>; waits for the load to end
  spy_titles "$main" "$home/titles"
  type_into "$main" 100 45 "$1"
  xdotool key Return
  wait_for 20 saw_title "$home/titles" "Nimbrel - [Going to: $1]"
  wait_for 20 title_is "$main" "Nimbrel - [Done Loading Document]"
}
# (A page just shown may not take a click for a moment: the engine lays it out first.)
click_page() { local v; read -r -a v <<<"$(view_centre)"; sleep 1; click_at "$main" "${v[0]}" "${v[1]}"; }
page_shows() { local v; read -r -a v <<<"$(view_centre)"; wait_pixel 15 "$main" "${v[0]}" "${v[1]}" "$1"; }
auth_sent() { awk -v c="$1" '$2 == "AUTH" && $4 == c' "$server_log" | wc -l; }
auth_sent_at_least() { [ "$(auth_sent "$1")" -ge "$2" ]; }
reports() { requests GET "/report/$1"; }

# --- sign-in ----------------------------------------------------------------------
type_into "$main" 100 45 "$site/auth/secret.html"
xdotool key Return
need_window 20 '^Sign in - 127\.0\.0\.1$' "the sign-in dialog"
sleep 0.5
shot requests-sign-in
check "nothing signed in yet: the first request went without credentials" test "$(auth_sent -)" -ge 1
type_text ann
xdotool key Tab
type_text wrong
xdotool key Return
check "the wrong password reaches the server" wait_for 15 auth_sent_at_least ann:wrong 1
need_window 20 '^Sign in - 127\.0\.0\.1$' "the sign-in dialog, asking again"
sleep 0.5
shot requests-sign-in-again
# The user name is kept; the password field has the keyboard.
type_text s3cret
xdotool key Return
check "the right password reaches the server" wait_for 15 auth_sent_at_least ann:s3cret 1
check "the protected page is on show" page_shows $green
check "the sign-in dialog is gone" wait_for 5 no_window '^Sign in'

# --- certificate ----------------------------------------------------------------
type_into "$main" 100 45 "$secure/a.html"
xdotool key Return
need_window 20 '^Certificate problem - 127\.0\.0\.1$' "the certificate dialog"
sleep 0.5
shot requests-certificate
# Enter takes the default: not to go on.
xdotool key Return
check "declined: the dialog goes" wait_for 10 no_window '^Certificate problem'
sleep 2
shot requests-certificate-declined
check "declined: the page was never asked for over the untrusted connection" test "$(tls_gets /a.html)" -eq 0
read -r -a v <<<"$(view_centre)"
check "declined: an error page of dark background is on show" wait_pixel 10 "$main" 20 100 24,24,24
check "declined: the error page has words on it ($(region_light "$main" 20 70 500 120) light pixels)" test "$(region_light "$main" 20 70 500 120)" -gt 300
type_into "$main" 100 45 "$secure/a.html"
xdotool key Return
need_window 20 '^Certificate problem - 127\.0\.0\.1$' "the certificate dialog, asked again"
xdotool key alt+o
tls_asked() { [ "$(tls_gets /a.html)" -ge 1 ]; }
check "going on: the page is asked for over HTTPS" wait_for 15 tls_asked
check "going on: the page is on show" page_shows $red

# --- permission and notification ------------------------------------------------------
go_to "$site/ask.html"
check "the asking page is on show" page_shows $blue
click_page
need_window 20 '^Permission - 127\.0\.0\.1$' "the permission question"
sleep 0.5
shot requests-permission
xdotool key alt+a
check "the page hears that notifications are allowed" wait_request 15 GET /report/notify-granted 1
check "the notification appears in a window of the program's" wait_for 15 has_window '^Notification - 127\.0\.0\.1$'
sleep 0.5
shot requests-notification
xdotool key F5
check "the asking page is on show again" page_shows $blue
sleep 1
click_page
check "asked again, the page has its answer at once" wait_request 15 GET /report/notify-granted 2
check "asked again, no question" no_window '^Permission'

# --- the whole screen ---------------------------------------------------------
go_to "$site/whole.html"
check "the whole-screen page is on show" page_shows $green
before=$(geometry "$main")
for how in Escape page; do
  n_on=$(reports whole-on); n_off=$(reports whole-off)
  click_page
  check "whole screen ($how): the page hears it has it" wait_request 15 GET /report/whole-on $((n_on + 1))
  need_window 10 '^Whole Screen - 127\.0\.0\.1$' "the whole-screen window"
  whole=$(window_named '^Whole Screen - 127\.0\.0\.1$')
  check "whole screen ($how): the window covers the screen ($(geometry "$whole"))" test "$(geometry "$whole")" = "0 0 1280 1024"
  check "whole screen ($how): the page's colour in the top left corner" wait_pixel 10 "$whole" 3 3 $green
  check "whole screen ($how): the page's colour in the bottom right corner" pixel_near "$whole" 1276 1020 $green
  [ "$how" = Escape ] && shot requests-whole-screen
  if [ "$how" = Escape ]; then xdotool key Escape; else click_at "$whole" 640 512; fi
  check "whole screen ($how): the page hears it gave it back" wait_request 15 GET /report/whole-off $((n_off + 1))
  check "whole screen ($how): the window goes" wait_for 10 no_window '^Whole Screen'
  check "whole screen ($how): the main window is where it was ($(geometry "$main"))" test "$(geometry "$main")" = "$before"
  check "whole screen ($how): the page is back in the main window" page_shows $green
done

# --- copy button ------------------------------------------------------------------
printf 'before' | xclip -selection clipboard
go_to "$site/copy.html"
check "the copy page is on show" page_shows 224,128,32
click_page
check "the page's copy went through" wait_request 15 GET /report/copied 1
check "the clipboard holds the page's text" wait_for 10 bash -c '[ "$(xclip -o -selection clipboard 2>/dev/null)" = "Copied from the page" ]'

# --- printing ------------------------------------------------------------------------
go_to "$site/print.html"
check_title "the printable page loads" 20 "$main" "Nimbrel - [Done Loading Document]"
click_page
xdotool key ctrl+p
need_window 20 '^Print - 127\.0\.0\.1$' "the print dialog"
sleep 1
shot requests-print
xdotool key Escape
check "Cancel: the print dialog goes" wait_for 10 no_window '^Print - '
sleep 1
check "Cancel: nothing is printed" test ! -e "$home/Printable.pdf"

# Where there is no printer the dialog offers a PDF file named after the page.
xdotool key ctrl+p
need_window 20 '^Print - 127\.0\.0\.1$' "the print dialog again"
sleep 1
xdotool key Return
pdf_whole() { head -c 5 "$home/Printable.pdf" 2>/dev/null | grep -q '^%PDF-' && tail -c 8 "$home/Printable.pdf" | grep -q '%%EOF'; }
check "Print: a whole PDF file is written" wait_for 30 pdf_whole
check "Print: the dialog goes" wait_for 10 no_window '^Print - '
shot requests-printed
finish
