#!/usr/bin/env bash
# Sets the clock through the real chain: Debian's system bus policy on a bus of
# the test's own, the real polkitd with rules of the test's own, and the real
# systemd-timedated without CAP_SYS_TIME and with every clock call caught by a
# preloaded library, which records it instead. systemd's manager is a
# stand-in that reports the NTP unit's state. Everything runs in its own
# mount, network and process namespaces, so the machine's bus, rules and clock
# are never reached.
#
#   real_timedated_test.sh BIN_DIR SHIM_LIBRARY
#
# Exit 77 (skipped) where the namespaces or the services are not available.
set -uo pipefail

bin=$1
shim=$2
timedated=/lib/systemd/systemd-timedated
polkitd=/usr/lib/polkit-1/polkitd
socket=/run/dbus/system_bus_socket
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$socket

if [ -z "${VINTREL_CHAIN_NAMESPACE:-}" ]; then
  for program in "$timedated" "$polkitd" dbus-daemon dbus-send dbus-monitor setpriv unshare; do
    command -v "$program" >/dev/null || { echo "skipped: $program is not installed"; exit 77; }
  done
  [ "$(id -u)" -eq 0 ] || { echo "skipped: namespaces and service users need root"; exit 77; }
  # Never with the right to set the clock, whoever started the test.
  exec env VINTREL_CHAIN_NAMESPACE=1 \
    setpriv --bounding-set=-sys_time --inh-caps=-sys_time \
    unshare --mount --net --pid --fork --kill-child --mount-proc "$0" "$@"
fi

[ -n "${VINTREL_CHAIN_TRACE:-}" ] && set -x
work=$(mktemp -d /tmp/vintrel-chain-XXXXXX)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
# The bus socket, systemd's runtime state and polkit's rules: all our own here.
mount -t tmpfs tmpfs /run/dbus
mount -t tmpfs tmpfs /run/systemd
for rules in /etc/polkit-1/rules.d /usr/share/polkit-1/rules.d; do
  mount -t tmpfs -o mode=700 tmpfs "$rules"
  chown polkitd:root "$rules"
done

failures=0
pids=()

fail() {
  echo "not ok - $case: $*"
  failures=$((failures + 1))
}

# Waits for the event (the name owned), bounded only against a broken start.
await_name() {
  for _ in $(seq 300); do
    dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q "boolean true" && return 0
    sleep 0.1
  done
  return 1
}

# rule: none | allow | slow-allow; ntp: active | inactive; timedated: yes | no
start_chain() {
  local rule=$1 ntp=$2 with_timedated=$3
  rm -f /etc/polkit-1/rules.d/* "$work"/*.txt
  case $rule in
    allow) verdict='return polkit.Result.YES;' ;;
    # An authorisation that takes as long as a person typing a password.
    slow-allow) verdict='polkit.spawn(["/bin/sleep", "6"]); return polkit.Result.YES;' ;;
    none) verdict='' ;;
  esac
  if [ -n "$verdict" ]; then
    cat >/etc/polkit-1/rules.d/50-vintrel-test.rules <<RULE
polkit.addRule(function(action, subject) {
  if (action.id == "org.freedesktop.timedate1.set-time") { $verdict }
});
RULE
  fi
  dbus-daemon --system --nofork >"$work/bus.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 300); do [ -S $socket ] && break; sleep 0.1; done
  "$bin/fake_systemd1" --ntp "$ntp" --record "$work/systemd1.txt" >/dev/null &
  pids+=($!)
  # It gives up root for its own user once started, as under systemd.
  "$polkitd" --no-debug >"$work/polkitd.log" 2>&1 &
  polkitd_pid=$!
  pids+=($!)
  await_name org.freedesktop.systemd1 && await_name org.freedesktop.PolicyKit1 || return 1
  if [ "$with_timedated" = yes ]; then
    LD_PRELOAD=$shim VINTREL_CLOCK_SHIM_LOG=$work/clock.txt "$timedated" \
      >"$work/timedated.log" 2>&1 &
    pids+=($!)
    await_name org.freedesktop.timedate1 || return 1
  fi
  dbus-monitor --system "type='method_call',member='CheckAuthorization'" \
    >"$work/monitor.txt" 2>/dev/null &
  pids+=($!)
  # The monitor is in place once its own Hello has gone through.
  for _ in $(seq 300); do [ -s "$work/monitor.txt" ] && break; sleep 0.1; done
}

stop_chain() {
  kill "${pids[@]}" 2>/dev/null
  wait "${pids[@]}" 2>/dev/null
  pids=()
  rm -f $socket /run/dbus/pid
}

# As an unprivileged user: timedated lets root through without asking polkit.
call_as_user() {
  setpriv --reuid=nobody --regid=nogroup --clear-groups "$bin/set_clock_call" --ahead 3600 "$@" \
    >"$work/call.txt" 2>&1
}

outcome() { sed -n 3p "$work/call.txt"; }

# The step the clock took minus the step asked for, in seconds: with a
# relative step it stays near zero however long polkit took.
clock_error() {
  local step
  step=$(sed -n 's/^step //p' "$work/call.txt")
  awk -v step="$step" '$1 == "clock_settime" { printf "%.6f\n", ($2 - $3) - step / 1e6 }' \
    "$work/clock.txt"
}

clock_calls() { [ -f "$work/clock.txt" ] && wc -l <"$work/clock.txt" || echo 0; }

# The AllowUserInteraction flag of every CheckAuthorization polkit received.
interaction_flags() {
  awk '/member=CheckAuthorization/ { want = 1 } want && /uint32/ { print $2; want = 0 }' \
    "$work/monitor.txt" | tr '\n' ' '
}

expect_set_within_a_second() {
  [ "$(outcome)" = set ] || { fail "$(outcome)"; return; }
  [ "$(clock_calls)" -eq 1 ] || { fail "expected one clock call: $(cat "$work/clock.txt")"; return; }
  local error
  error=$(clock_error)
  echo "# $case: clock error $error s, longest event-loop stall $(sed -n 's/^stall_ms //p' "$work/call.txt") ms"
  awk -v e="$error" 'BEGIN { exit !(e > -1 && e < 1) }' || fail "clock error $error s"
}

expect_refused() {
  [ "$(outcome)" = "refused: $1" ] || fail "got '$(outcome)'"
  [ "$(clock_calls)" -eq 0 ] || fail "the clock was set: $(cat "$work/clock.txt")"
}

run_case() {
  case=$1
  shift
  if start_chain "$@"; then
    "check_$case"
  else
    fail "the chain did not start: $(cat "$work"/*.log)"
  fi
  stop_chain
  echo "done - $case"
}

check_allowed() {
  call_as_user
  expect_set_within_a_second
  [ "$(interaction_flags)" = "1 " ] || fail "polkit flags '$(interaction_flags)'"
}

check_refused() {
  call_as_user
  expect_refused "permission to set it is needed, and no authentication agent is running to ask for it"
}

check_ntp_active() {
  call_as_user
  expect_refused "automatic time synchronisation is on, so another time service keeps the clock (\`timedatectl set-ntp false\` hands it to Vintrel)"
  grep -q "unit/.*GetAll" "$work/systemd1.txt" || fail "timedated did not ask about the NTP unit"
}

check_absent() {
  call_as_user
  expect_refused "the date and time service (systemd-timedated) is not available"
}

check_slow_authorisation() {
  call_as_user
  expect_set_within_a_second
}

# An authorisation of 20 s, longer than a polkit rule may wait: polkitd is
# held still meanwhile. Run only when asked (VINTREL_CHAIN_LONG=1), for the figure.
check_paused_authorisation() {
  call_as_user &
  local caller=$!
  sleep 0.3
  kill -STOP "$polkitd_pid"
  sleep 20
  kill -CONT "$polkitd_pid"
  wait "$caller"
  expect_set_within_a_second
}

check_silent() {
  call_as_user --silent
  [ "$(outcome)" = set ] || fail "$(outcome)"
  [ "$(interaction_flags)" = "0 " ] || fail "polkit flags '$(interaction_flags)'"
}

run_case allowed allow inactive yes
run_case refused none inactive yes
run_case ntp_active allow active yes
run_case absent allow inactive no
run_case slow_authorisation slow-allow inactive yes
run_case silent allow inactive yes
[ "${VINTREL_CHAIN_LONG:-}" = 1 ] && run_case paused_authorisation allow inactive yes

[ "$failures" -eq 0 ] && echo "all cases passed"
exit $((failures > 0))
