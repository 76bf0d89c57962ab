# How a shell case is written and judged, for the suites on this host (tests/library/check) and on
# the emulated PCs (tests/hardware/guest-init, tests/hardware/wine-init), and the library's words
# that their expectations are made of. Sourced. A suite that runs on an emulated PC opens its
# results port as descriptor 3 and sets cases_fd=3 before it sources this; elsewhere results go to
# standard output.
#
# Each case says "ok <name>" or "FAIL <name>: <why>". A suite ends with end_cases, which says
# "<n> passed, <m> failed": the end marker, which only a suite that ran to its end writes. A suite
# passes where its last line is that marker with 0 failed (passed_to_the_end); never on a count of
# cases.

say() { printf '%s\n' "$*" >&"${cases_fd:-1}"; }

passed=0
failed=0
pass() { passed=$((passed + 1)); say "ok $1"; }
fail() { failed=$((failed + 1)); say "FAIL $1: $2"; }
end_cases() { say "$passed passed, $failed failed"; }

# passed_to_the_end <results file>: the file ends with the end marker, and no case failed. Where
# not, it says where the suite stopped (its last case) and fails.
passed_to_the_end() {
  local summary
  summary=$(tail -n 1 "$1")
  [[ $summary =~ ^[0-9]+\ passed,\ 0\ failed$ ]] && return 0
  echo "expected \"<n> passed, 0 failed\" at the end; the last case was:"
  grep -E '^(ok|FAIL) ' "$1" | tail -n 1
  return 1
}

# run <name> <status> <stdout> <stderr> <command...>: the command's exit status, and its standard
# output and error byte for byte, the expected ones given as printf %b text. Its standard input is
# /dev/null; $streams, if set, closes or moves standard streams after that (for example '1>&-').
# The outputs are kept in $cases_dir (/tmp where not set) as stdout and stderr, the expected ones
# beside them as expected-stdout and expected-stderr. A suite may name two functions of its own:
# $case_outputs, given that folder, puts both pairs in a form of its own before they are compared;
# $case_more prints what else it found wrong with the case, a line each, each line first.
run() {
  local name=$1 status=$2 actual out=${cases_dir:-/tmp} bad=''
  printf '%b' "$3" >"$out/expected-stdout"
  printf '%b' "$4" >"$out/expected-stderr"
  shift 4
  (eval "exec ${streams:-}" && exec "$@") >"$out/stdout" 2>"$out/stderr" </dev/null
  actual=$?
  [ -z "${case_outputs:-}" ] || "$case_outputs" "$out"
  [ "$actual" = "$status" ] || bad="$bad
  exit status $actual, expected $status"
  cmp -s "$out/stdout" "$out/expected-stdout" || bad="$bad
  standard output [$(cat "$out/stdout")]
          expected [$(cat "$out/expected-stdout")]"
  cmp -s "$out/stderr" "$out/expected-stderr" || bad="$bad
  standard error [$(cat "$out/stderr")]
         expected [$(cat "$out/expected-stderr")]"
  [ -z "${case_more:-}" ] || bad="$bad$("$case_more")"
  if [ -n "$bad" ]; then fail "$name" "$bad"; else pass "$name"; fi
}

# wine_settings <name> <wine.env> <runner...>: a Windows program that the runner starts (Wine's own
# cmd, asked for its environment) has every setting of the file, as the file gives it. Says which
# it saw, or which it missed.
wine_settings() {
  local name=$1 file=$2 line seen='' missing='' out=${cases_dir:-/tmp}
  shift 2
  "$@" cmd /c set </dev/null >"$out/settings" 2>&1
  tr -d '\r' <"$out/settings" >"$out/settings.unix"
  while IFS= read -r line; do
    case $line in [A-Z]*=*) ;; *) continue ;; esac
    if grep -qxF -- "$line" "$out/settings.unix"; then seen="$seen $line"; else missing="$missing $line"; fi
  done <"$file"
  if [ -n "$missing" ]; then
    fail "$name" "not in a Windows program's environment:$missing ($(head -c 300 "$out/settings.unix"))"
  else
    pass "$name"
    say "seen:$seen"
  fi
}

# wait_for <test...>: up to ten seconds for the test to hold (a device node the kernel makes, a file
# another program writes), looking every 0.2 s. Whatever follows finds out if it did not.
wait_for() {
  local _
  for _ in $(seq 50); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

# On this host: side_by_side copies $tool and $library into a new scratch folder, $dir (removed
# when the suite ends), where the tool finds the library beside it, and points both at the copies.
side_by_side() {
  dir=$(mktemp -d)
  trap 'rm -rf "$dir"' EXIT
  cp "$tool" "$library" "$dir/"
  tool=$dir/$(basename "$tool")
  library=$dir/$(basename "$library")
}

# The library's words.
usage='usage: portpoke <hexaddress> <hexvalue>\n'
# refusal <port> <ioperm error> <open error> <third way> <cause and hint>: the library's one line,
# without its line break.
refusal() {
  printf 'inpout32.dll: no access to I/O port 0x%s (ioperm: %s; /dev/port: %s; %s): %s' "$@"
}
eperm='Operation not permitted'
eacces='Permission denied'
no_register='parport: no parallel port has this register'
needs_root='raw port access needs root or CAP_SYS_RAWIO'
unreadable_control="the kernel's driver cannot read the control register back, so a write to it \
could not be verified (root without lockdown reaches it the raw way)"

# On an emulated PC, as root.
# peek <port>: the byte at the port, as root reads it through /dev/port, in hexadecimal.
peek() { dd if=/dev/port bs=1 skip=$((0x$1)) count=1 2>/dev/null | od -An -tx1 | tr -d ' \n'; }
# latch <name> <port> <byte>: root reads the port through /dev/port, a third opinion.
latch() {
  local actual
  actual=$(peek "$2")
  if [ "$actual" = "$3" ]; then pass "$1"; else fail "$1" "/dev/port read [$actual], expected [$3]"; fi
}
