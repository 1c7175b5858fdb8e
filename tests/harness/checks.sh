# Results: `check` and `ok`/`bad` count, `finish` prints "N passed, M failed"
# and ends the script with the right status; `need_window` (windows.sh) and
# `must` stop it at once when a step everything after it depends on did not
# happen.

passed=0
failed=0

ok() { passed=$((passed + 1)); echo "ok   - $1"; }
bad() { failed=$((failed + 1)); echo "FAIL - $1${2:+: $2}"; }
check() {  # check <what> <command...>
  local what=$1; shift
  if "$@"; then ok "$what"; return 0; fi
  bad "$what"
  return 1
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit $?
}
# A step that everything after it needs: stop the script here if it failed.
must() {  # must <what> <command...>
  local what=$1; shift
  if "$@"; then ok "$what"; return 0; fi
  bad "$what" "cannot go on"
  shot "${e2e_name}-failed"
  echo "--- program output"; cat "$home/log" 2>/dev/null | tail -40
  finish
}
