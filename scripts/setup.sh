# Sourced by run.sh and test.sh: installs the Debian packages that are
# missing and builds into build/.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

BUILD_PACKAGES=(g++ cmake make pkg-config libsdl1.2-dev portaudio19-dev libasound2-dev libjack-jackd2-dev
  libsndfile1-dev libgtest-dev libbenchmark-dev)
# The end-to-end tests: a JACK server with its dummy backend, a virtual X
# display and a window dump, and Debian's Python for the test scripts.
TEST_PACKAGES=(jackd2 xvfb x11-apps x11-utils python3 procps)

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local line="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  elif command -v sudo >/dev/null 2>&1; then
    sudo sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${missing[*]}" >/dev/null
  else
    echo "These Debian packages are missing. Install them as root, then run this again:" >&2
    echo "  $line" >&2
    exit 1
  fi
}

# build DIR [TARGET] [-- cmake options...]: quiet unless it fails.
build() {
  local dir=$1 target=all
  shift
  if [ $# -gt 0 ] && [ "$1" != "--" ]; then target=$1; shift; fi
  [ "${1-}" = "--" ] && shift
  cmake -S "$ROOT" -B "$ROOT/$dir" "$@" >/dev/null
  if ! cmake --build "$ROOT/$dir" --target "$target" -j"$(nproc)" >"$ROOT/$dir/build.log" 2>&1; then
    cat "$ROOT/$dir/build.log" >&2
    echo "build of $dir failed" >&2
    exit 1
  fi
}
