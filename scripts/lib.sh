# Shared by the scripts: where the tree is, and how to run a program of ours
# without the right to set the system clock.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Runs a command with CAP_SYS_TIME dropped from every set, so nothing it
# starts can ever move the real clock.
no_clock() {
  if command -v setpriv >/dev/null && [ "$(id -u)" -eq 0 ]; then
    setpriv --bounding-set=-sys_time --inh-caps=-sys_time "$@"
  else
    "$@"
  fi
}

configure_and_build() {
  local preset=$1
  shift
  cmake --preset "$preset" "$@" >/dev/null
  cmake --build --preset "$preset"
}
