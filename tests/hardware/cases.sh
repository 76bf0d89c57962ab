# The cases' common words, for the /init scripts of the test machines (guest-init, wine-init),
# which open the results port as descriptor 3 before they read this.

say() { printf '%s\n' "$*" >&3; }

usage='usage: portpoke <hexaddress> <hexvalue>\n'
# refusal <port> <ioperm error> <open error> <third way> <cause>: the library's one line, its line
# break written \\n.
refusal() {
  printf 'inpout32.dll: no access to I/O port 0x%s (ioperm: %s; /dev/port: %s; %s): %s\\n' \
    "$1" "$2" "$3" "$4" "$5"
}
no_register='parport: no parallel port has this register'
needs_root='raw port access needs root or CAP_SYS_RAWIO'
unreadable_control="the kernel's driver cannot read the control register back, so a write to it \
could not be verified (root without lockdown reaches it the raw way)"

passed=0
failed=0
pass() { passed=$((passed + 1)); say "ok $1"; }
fail() { failed=$((failed + 1)); say "FAIL $1: $2"; }

# run <name> <status> <stdout> <stderr> <command...>: the expected output as printf %b text. The
# command's standard input is /dev/null; $streams, if set, closes or moves standard streams after
# that (for example '1>&-').
run() {
  name=$1 status=$2
  printf '%b' "$3" >/tmp/expected-stdout
  printf '%b' "$4" >/tmp/expected-stderr
  shift 4
  (eval "exec ${streams:-}" && exec "$@") >/tmp/stdout 2>/tmp/stderr </dev/null
  actual=$?
  if [ "$actual" != "$status" ]; then
    fail "$name" "exit status $actual, expected $status; stderr: $(cat /tmp/stderr)"
  elif ! cmp -s /tmp/stdout /tmp/expected-stdout; then
    fail "$name" "stdout [$(cat /tmp/stdout)], expected [$(cat /tmp/expected-stdout)]"
  elif ! cmp -s /tmp/stderr /tmp/expected-stderr; then
    fail "$name" "stderr [$(cat /tmp/stderr)], expected [$(cat /tmp/expected-stderr)]"
  else
    pass "$name"
  fi
}

# peek <port>: the byte at the port, as root reads it through /dev/port, in hexadecimal.
peek() { dd if=/dev/port bs=1 skip=$((0x$1)) count=1 2>/dev/null | od -An -tx1 | tr -d ' \n'; }

# latch <name> <port> <byte>: root reads the port through /dev/port, a third opinion.
latch() {
  actual=$(peek "$2")
  if [ "$actual" = "$3" ]; then pass "$1"; else fail "$1" "/dev/port read [$actual], expected [$3]"; fi
}

