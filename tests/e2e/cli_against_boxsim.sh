#!/usr/bin/env bash
# orva-cli against two orva-boxsim processes, found through the socket directory like plugged-in
# boxes. Usage: cli_against_boxsim.sh BIN_DIR
set -euo pipefail
bin=$1
runtime=$(mktemp -d /tmp/orva-cli-test-XXXXXX)
export XDG_RUNTIME_DIR=$runtime
export XDG_CONFIG_HOME=$runtime/config
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }

# Read whole first: grep -q leaves at its first match, and the rest of the text would then meet
# a closed pipe (SIGPIPE, which pipefail reports as a failure).
help=$("$bin/orva-boxsim" --help)
grep -q -- '--drop-every' <<<"$help" || fail "boxsim --help lacks its fault options"

# No box yet: scan and info say so with exit status 3.
set +e
"$bin/orva-cli" scan > "$runtime/scan0.txt"; status=$?
set -e
[ "$status" -eq 3 ] || fail "scan without a box exited $status"

start_box() {
  "$bin/orva-boxsim" "$@" > "$runtime/$2.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    grep -q "serving" "$runtime/$2.log" 2>/dev/null && return 0
    sleep 0.05
  done
  fail "orva-boxsim $* did not start: $(cat "$runtime/$2.log")"
}

start_box --name alpha --inputs sin2sq1ssi1ana1 --serial A-1
start_box --name beta --inputs sin1 --serial B-2

"$bin/orva-cli" scan > "$runtime/scan.txt"
expected=$(printf 'sim:%s/orva-boxes/alpha.sock\tORVA 2 USB\tA-1\nsim:%s/orva-boxes/beta.sock\tORVA 2 USB\tB-2' "$runtime" "$runtime")
[ "$(cat "$runtime/scan.txt")" = "$expected" ] || fail "scan printed: $(cat "$runtime/scan.txt")"

# Two boxes and no path: the tool does not guess.
set +e
"$bin/orva-cli" info > /dev/null 2> "$runtime/info-ambiguous.txt"; status=$?
set -e
[ "$status" -eq 3 ] || fail "info with two boxes exited $status"
grep -q "Several boxes found" "$runtime/info-ambiguous.txt" || fail "no hint about several boxes"

"$bin/orva-cli" info "sim:$runtime/orva-boxes/alpha.sock" > "$runtime/info.txt"
grep -qx "Identification: TorvenKellmar,ORVA 2 USB,A-1,V2.0" "$runtime/info.txt" || fail "identification: $(cat "$runtime/info.txt")"
grep -qx "  Input 5 (Analog): Analog Value" "$runtime/info.txt" || fail "inputs: $(cat "$runtime/info.txt")"
# The default configuration shows the first SinCos position: slot 0 right after the counter.
grep -qx "Frame: 7 bytes (byte 0, counter at 1-2, slot 0 at 3)" "$runtime/info.txt" || fail "layout: $(cat "$runtime/info.txt")"
[ ! -e "$runtime/config/orva2usb/orva.cfg" ] || fail "info wrote a configuration file"

# A configuration file that cannot be read: the defaults are used, and the tool says so.
mkdir -p "$runtime/config/orva2usb"
echo "not a configuration" > "$runtime/config/orva2usb/orva.cfg"
"$bin/orva-cli" info "sim:$runtime/orva-boxes/alpha.sock" > "$runtime/info-broken.txt" 2> "$runtime/info-broken.err"
grep -q "orva.cfg cannot be read; the default configuration is used" "$runtime/info-broken.err" ||
  fail "no word about the unreadable configuration: $(cat "$runtime/info-broken.err")"
cmp -s "$runtime/info.txt" "$runtime/info-broken.txt" || fail "info with the defaults differs"
rm "$runtime/config/orva2usb/orva.cfg"

# A box that answers with another hardware version: the message and exit status 1.
start_box --name gamma --inputs sin1 --idn "TorvenKellmar,ORVA 2 USB,C,V9.9"
set +e
"$bin/orva-cli" info "sim:$runtime/orva-boxes/gamma.sock" > /dev/null 2> "$runtime/gamma.txt"; status=$?
set -e
[ "$status" -eq 1 ] || fail "incompatible box exited $status"
grep -q "hardware (V9.9)" "$runtime/gamma.txt" || fail "version message: $(cat "$runtime/gamma.txt")"

echo "1 passed, 0 failed"
