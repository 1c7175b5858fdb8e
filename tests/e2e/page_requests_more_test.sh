#!/usr/bin/env bash
# More of what pages ask of their browser, answered by a user at the keyboard:
# a proxy that wants a user name and password (cancelled, then signed in), a
# certificate problem nobody may override, a permission question the page
# withdraws by leaving before it is answered, and the whole screen and
# printing from a pop-up window and from the HTML editor's preview browser.
# Judged by the dialogs' windows and the words they hold (selected and copied
# as a user would), what the proxy and the servers receive, the screen's
# pixels, window geometry read from X and the files printing writes.
set -uo pipefail
source "$(dirname "$0")/../harness/harness.sh"
harness_home "$1"
start_wm

start_server

# Two HTTPS servers answer for one made-up host name, on two ports: the
# first with a certificate from an authority made now and trusted in the
# test's own certificate database (where the engine looks, in the home), and
# with Strict-Transport-Security, so that the host may be reached over
# trusted connections only from then on; the second with a certificate made
# out to the same host but signed by itself.
strict_host=strict.test
nssdb="sql:$home/.pki/nssdb"
mkdir -p "$home/.pki/nssdb"
certutil -d "$nssdb" -N --empty-password
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Nimbrel Test Authority" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
  -keyout "$home/ca.key" -out "$home/ca.crt" >/dev/null 2>&1
certutil -d "$nssdb" -A -n "Nimbrel Test Authority" -t C,, -i "$home/ca.crt"
must "the test's own certificate authority is trusted in its home" certutil -d "$nssdb" -L -n "Nimbrel Test Authority" >/dev/null
openssl req -new -newkey rsa:2048 -nodes -subj "/CN=$strict_host" -keyout "$home/trusted.key" \
  -out "$home/trusted.csr" >/dev/null 2>&1
printf 'subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' "$strict_host" >"$home/trusted.ext"
openssl x509 -req -in "$home/trusted.csr" -CA "$home/ca.crt" -CAkey "$home/ca.key" -CAcreateserial -days 2 \
  -extfile "$home/trusted.ext" -out "$home/trusted.crt" >/dev/null 2>&1
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$strict_host" -addext "subjectAltName=DNS:$strict_host" \
  -keyout "$home/untrusted.key" -out "$home/untrusted.crt" >/dev/null 2>&1
trusted_log="$home/trusted.log"
untrusted_log="$home/untrusted.log"
"$python" "$e2e_dir/server.py" --root "$e2e_dir/pages" --log "$trusted_log" --port-file "$home/trusted-port" \
  --parent $$ --limit 1200 --tls "$home/trusted.crt" "$home/trusted.key" --hsts &
pids+=($!)
"$python" "$e2e_dir/server.py" --root "$e2e_dir/pages" --log "$untrusted_log" --port-file "$home/untrusted-port" \
  --parent $$ --limit 1200 --tls "$home/untrusted.crt" "$home/untrusted.key" &
pids+=($!)
must "the HTTPS servers start" wait_for 15 test -s "$home/trusted-port" -a -s "$home/untrusted-port"
tls_gets() { awk -v p="$2" '$2 == "GET" && $3 == p' "$1" 2>/dev/null | wc -l; }
tls_got() { [ "$(tls_gets "$@")" -ge 1 ]; }

# The engine's proxy is one of the test's own, and never reaches past this
# machine: it answers the made-up host itself (once signed in), joins tunnels
# to the strict host to the HTTPS servers above, and refuses everything else.
# 127.0.0.1 is still reached directly.
proxy_host=signin.test
proxy_realm=Gatehouse
proxy_log="$home/proxy.log"
: >"$proxy_log"
"$python" "$e2e_dir/server.py" --root "$e2e_dir/pages" --log "$proxy_log" --port-file "$home/proxy-port" \
  --parent $$ --limit 1200 --proxy --answer "$proxy_host" --tunnel "$strict_host:443" "$(cat "$home/trusted-port")" \
  --tunnel "$strict_host:8443" "$(cat "$home/untrusted-port")" \
  --proxy-realm "$proxy_realm" &
pids+=($!)
must "the proxy starts" wait_for 15 test -s "$home/proxy-port"
flags=$(sed 's/--proxy-server=[^ ]*//' <<<"$QTWEBENGINE_CHROMIUM_FLAGS")
export QTWEBENGINE_CHROMIUM_FLAGS="$flags --proxy-server=http://127.0.0.1:$(cat "$home/proxy-port")"
proxy_sent() { awk -v c="$1" '$2 == "PROXYAUTH" && $4 == c' "$proxy_log" | wc -l; }
proxy_sent_at_least() { [ "$(proxy_sent "$1")" -ge "$2" ]; }
proxied() { awk -v p="$1" '$2 == "GET" && $3 == p' "$proxy_log" | wc -l; }
proxied_at_least() { [ "$(proxied "$1")" -ge "$2" ]; }

start_program
enter
main=$(main_window)
xdotool mousemove 1270 1010
shot main-start

green=30,200,30; blue=30,30,200
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
reports() { requests GET "/report/$1"; }
# The words of a dialog, as a user gets them: a click into its text, select
# all, copy; the clipboard is read back.
dialog_words() {  # dialog_words <window>
  printf 'nothing' | xclip -selection clipboard
  click_at "$1" 40 18
  sleep 0.2
  xdotool key ctrl+a ctrl+c
  sleep 0.3
  xclip -o -selection clipboard 2>/dev/null
}
says() { grep -qF -- "$2" <<<"$1"; }

# --- a proxy that asks who the user is ----------------------------------------------------
address="http://$proxy_host/green.html"
type_into "$main" 100 45 "$address"
xdotool key Return
need_window 20 '^Sign in - 127\.0\.0\.1$' "the proxy's sign-in dialog"
sleep 0.5
shot requests-proxy-sign-in
check "the first request went to the proxy without credentials" test "$(proxy_sent -)" -ge 1
words=$(dialog_words "$(window_named '^Sign in - ')")
check "the dialog names the proxy ('$words')" says "$words" "The proxy 127.0.0.1 asks you to sign in."
check "the dialog names the proxy's realm" says "$words" "\"$proxy_realm\""
xdotool key Escape
check "Cancel: the dialog goes" wait_for 10 no_window '^Sign in'
check "Cancel: the proxy's own page is on show" page_shows 200,200,30
check "Cancel: no credentials were sent" test "$(awk '$2 == "PROXYAUTH" && $4 != "-"' "$proxy_log" | wc -l)" -eq 0
check "Cancel: the page itself was never fetched" test "$(proxied /green.html)" -eq 0

type_into "$main" 100 45 "$address"
xdotool key Return
need_window 20 '^Sign in - 127\.0\.0\.1$' "the proxy's sign-in dialog, asked again"
sleep 0.5
# The user's field has the keyboard.
type_text ann
xdotool key Tab
type_text s3cret
xdotool key Return
check "signed in: the proxy receives the credentials" wait_for 15 proxy_sent_at_least ann:s3cret 1
check "signed in: the proxy fetches the page" wait_for 15 proxied_at_least /green.html 1
check "signed in: the page is on show" page_shows 32,192,64
check "signed in: the dialog is gone" wait_for 5 no_window '^Sign in'

# --- a certificate problem that cannot be overridden ---------------------------------------
type_into "$main" 100 45 "https://$strict_host/a.html"
xdotool key Return
check "a trusted certificate: the page is fetched over HTTPS" wait_for 15 tls_got "$trusted_log" /a.html
check "a trusted certificate: the page is on show" page_shows 200,30,30
check "a trusted certificate: no question" no_window '^Certificate problem'
# The host has said it is to be reached over trusted connections only, so
# the engine lets nobody go on past the other server's certificate.
type_into "$main" 100 45 "https://$strict_host:8443/b.html"
xdotool key Return
need_window 20 "^Certificate problem - ${strict_host//./\\.}\$" "the certificate dialog"
sleep 0.5
shot requests-certificate-strict
words=$(dialog_words "$(window_named '^Certificate problem - ')")
check "the dialog names the problem ('$words')" \
  says "$words" "The site $strict_host sent a certificate that is not issued by an authority this browser trusts."
check "the dialog says the page cannot be shown" says "$words" "The page cannot be shown."
check "the dialog does not offer going on" bash -c '! grep -qi "go on" <<<"$1"' - "$words"
# Alt+O is where "Go on" would be.
xdotool key alt+o
sleep 2
check "the page is never asked for over the untrusted connection" test "$(tls_gets "$untrusted_log" /b.html)" -eq 0
check "an error page of dark background is on show" wait_pixel 10 "$main" 20 100 24,24,24
check "the error page has words on it ($(region_light "$main" 20 70 500 120) light pixels)" test "$(region_light "$main" 20 70 500 120)" -gt 300
check "the dialog stays until it is answered" has_window '^Certificate problem - '
xdotool key Return
check "OK: the dialog goes" wait_for 10 no_window '^Certificate problem'
check "OK: the error page stays" pixel_near "$main" 20 100 24,24,24

# --- a permission question the page withdraws -------------------------------------------------
go_to "$site/withdraw.html"
check "the asking page is on show" page_shows $blue
click_page
need_window 20 '^Permission - 127\.0\.0\.1$' "the permission question"
shot requests-withdrawn-question
check "the page leaves without waiting for the answer" wait_request 15 GET /report/withdraw-leaving 1
check "the page it left for is on show" wait_pixel 15 "$main" 20 100 32,192,64
check "the question closes by itself" wait_for 10 no_window '^Permission'
check "the page had no answer" test "$(reports withdraw-granted)$(reports withdraw-denied)" = 00
# Withdrawn is not answered: the same page asking again gets the question
# again. This time it only moves to another address within itself, and its
# question stays.
go_to "$site/withdraw.html?stay"
check "the asking page is on show again" page_shows $blue
click_page
need_window 20 '^Permission - 127\.0\.0\.1$' "the permission question, asked again"
check "the page moves within itself" wait_request 15 GET /report/withdraw-moved 1
sleep 2
check "the question stays while its page does" has_window '^Permission - 127\.0\.0\.1$'
xdotool key alt+b
check "asked again and blocked: the page hears it" wait_request 15 GET /report/withdraw-denied 1
check "the question goes with the answer" wait_for 10 no_window '^Permission'

# --- the whole screen and printing in a window of its own -----------------------------------------
# <window> shows screen-print.html, with its green half at <x> <y> and its
# grey half at <x> <y2>; <name> names it in the results.
whole_and_print() {  # whole_and_print <name> <window> <x> <y> <y2>
  local name=$1 win=$2 x=$3 y=$4 y2=$5 before n_on n_off whole pdf="$home/Screen And Paper.pdf"
  check "$name: the page is on show" wait_pixel 15 "$win" "$x" "$y" $green
  before=$(geometry "$win")
  n_on=$(reports paper-on); n_off=$(reports paper-off)
  sleep 1
  click_at "$win" "$x" "$y"
  check "$name: the page hears it has the whole screen" wait_request 15 GET /report/paper-on $((n_on + 1))
  need_window 10 '^Screen And Paper - 127\.0\.0\.1$' "$name: the whole-screen window"
  whole=$(window_named '^Screen And Paper - 127\.0\.0\.1$')
  check "$name: the window covers the screen ($(geometry "$whole"))" test "$(geometry "$whole")" = "0 0 1280 1024"
  check "$name: the page's green in the top left corner" wait_pixel 10 "$whole" 3 3 $green
  shot "requests-whole-screen-$name"
  xdotool key Escape
  check "$name: Escape gives it back (the page hears it)" wait_request 15 GET /report/paper-off $((n_off + 1))
  check "$name: the whole-screen window goes" wait_for 10 no_window '^Screen And Paper - 127\.0\.0\.1$'
  check "$name: the window is where it was ($(geometry "$win"))" test "$(geometry "$win")" = "$before"
  check "$name: the page is back in its window" wait_pixel 10 "$win" "$x" "$y" $green

  rm -f "$pdf"
  click_at "$win" "$x" "$y2"
  sleep 0.5
  xdotool key ctrl+p
  need_window 20 '^Print - 127\.0\.0\.1$' "$name: the print dialog"
  sleep 1
  shot "requests-print-$name"
  xdotool key Return
  pdf_whole() { head -c 5 "$pdf" 2>/dev/null | grep -q '^%PDF-' && tail -c 8 "$pdf" | grep -q '%%EOF'; }
  check "$name: printing writes a whole PDF file" wait_for 30 pdf_whole
  check "$name: the print dialog goes" wait_for 10 no_window '^Print - '
}

popup_regex='^Screen And Paper - http://127\.0\.0\.1:[0-9]+/screen-print\.html$'
go_to "$site/opens.html"
check "the opening page is on show" page_shows 224,128,32
click_page
need_window 20 "$popup_regex" "the pop-up window"
popup=$(window_named "$popup_regex")
sleep 0.5
shot requests-popup
whole_and_print pop-up "$popup" 240 100 300
close_window "$popup"
check "the pop-up window closes" wait_for 10 no_window "$popup_regex"

# --- ... and in the HTML editor's preview browser ---------------------------------------------------
editor_regex='^Nimbrel HTML Editor {32}NB$'
menu "${menu_editor[@]}"
need_window 20 "$editor_regex" "the HTML editor"
editor=$(window_named "$editor_regex")
sleep 0.5
click_at "$editor" 268 336
need_window 30 '^NB Editor - ' "the preview browser"
preview=$(window_named '^NB Editor - ')
sleep 1
type_into "$preview" 150 67 "$site/screen-print.html"
xdotool key Return
check_title "the preview browser shows the page" 20 "$preview" "NB Editor - [Screen And Paper]"
shot requests-preview
whole_and_print preview "$preview" 180 130 300
finish
