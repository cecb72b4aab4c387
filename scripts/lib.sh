# Shared by the scripts: where the tree is, and how to run a program of ours
# without the right to set the system clock.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The prefix that drops CAP_SYS_TIME from every set, so nothing started behind
# it can ever move the real clock. Only root holds the capability here; for
# anyone else it is empty.
clock_guard=()
if command -v setpriv >/dev/null && [ "$(id -u)" -eq 0 ]; then
  clock_guard=(setpriv --bounding-set=-sys_time --inh-caps=-sys_time)
fi

# Runs a command behind the clock guard.
no_clock() { "${clock_guard[@]}" "$@"; }

# Replaces this shell by a command behind the clock guard. `exec no_clock`
# cannot work: exec runs programs, not shell functions.
exec_no_clock() { exec "${clock_guard[@]}" "$@"; }

# CI builds everything with warnings as errors. Every script that configures
# passes these, so that a tree configured by one script is not reconfigured
# (and rebuilt) with other flags by the next.
ci_cmake_flags=()
[ "${CI:-}" = "true" ] && ci_cmake_flags+=(-DVINTREL_WARNINGS_AS_ERRORS=ON)

configure_and_build() {
  local preset=$1
  shift
  cmake --preset "$preset" "${ci_cmake_flags[@]}" "$@" >/dev/null
  cmake --build --preset "$preset"
}

# Network, mount and process namespaces of their own for runs of the real
# programs: loopback only (brought up by whoever runs inside), private mounts,
# and every process ended with the first. Without root, inside a user
# namespace in which we are root.
private_namespaces=(unshare --net --mount --pid --fork --kill-child --mount-proc)
[ "$(id -u)" -eq 0 ] || private_namespaces+=(--user --map-root-user)

# Runs the calling script ($1, then its arguments) once more inside
# private_namespaces, unless it already runs there; inside, brings up
# loopback. Everything that needs the network (setup) must come before.
rerun_in_private_namespaces() {
  if [ -z "${VINTREL_IN_NAMESPACES:-}" ]; then
    VINTREL_IN_NAMESPACES=1 exec "${private_namespaces[@]}" "$@"
  fi
  ip link set lo up
}
