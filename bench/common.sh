# Sourced by the benchmark scripts: a Release build of the program, a scratch directory
# that goes at exit, and the forms in which paths reach the program.
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-bench}
runs=${RUNS:-5}
work=$(mktemp -d /tmp/orva-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

# The standard tool a benchmark compares with, installed when it is missing and the
# benchmark runs as root (as on a fresh machine); otherwise the benchmark stops.
require_tool() {
    command -v "$1" >/dev/null 2>&1 && return 0
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
        apt-get install -y -qq "$1" >/dev/null 2>&1 || { apt-get update -qq >/dev/null && apt-get install -y -qq "$1" >/dev/null; }
    fi
    command -v "$1" >/dev/null 2>&1 || { echo "$1 is not installed: apt-get install $1" >&2; exit 1; }
}

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVA_BENCH=ON -DORVA_TESTS=OFF >/dev/null
cmake --build "$build" --target orva -j2 >/dev/null
orva="$build/orva"

# Quoted for the shell that alternate.py runs the command in, which would eat '\'.
windows_path() { printf "'Z:%s'" "$1" | tr '/' '\\'; }
# The peak resident size in KB of a shell command, with the benchmarks' environment.
max_rss_kb() { TZ=UTC LC_ALL=C /usr/bin/time -f '%M' sh -c "$1" 2>&1 >/dev/null | tail -1 || true; }
