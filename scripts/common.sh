# Shared by scripts/run, scripts/test, scripts/package and scripts/bench (sourced, not run).
# FORSTRIX_JOBS sets the number of parallel build and test jobs (default: all cores).
# FORSTRIX_BUILD_DIR, FORSTRIX_ASAN_BUILD_DIR and FORSTRIX_WIN_BUILD_DIR move
# the build folders.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${FORSTRIX_JOBS:-$(nproc 2>/dev/null || echo 2)}
BUILD_DIR=${FORSTRIX_BUILD_DIR:-$ROOT/build}
ASAN_BUILD_DIR=${FORSTRIX_ASAN_BUILD_DIR:-$ROOT/build-asan}
WIN_BUILD_DIR=${FORSTRIX_WIN_BUILD_DIR:-$ROOT/build-win}

step() { printf '\n==> %s\n' "$*"; }

# configure DIR CMAKE-ARGS...: Ninja for a new folder, the folder's own generator otherwise.
configure() {
  local dir=$1
  shift
  local gen=()
  [[ -f "$dir/CMakeCache.txt" ]] || gen=(-G Ninja)
  cmake -S "$ROOT" -B "$dir" "${gen[@]}" "$@"
}

build() {
  cmake --build "$1" --parallel "$JOBS"
}

# configure_windows: the cross build for 64-bit Windows in $WIN_BUILD_DIR
# (MinGW-w64, static, -Werror, without Qt: no drawing library, no PDF sheet).
configure_windows() {
  configure "$WIN_BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DFORSTRIX_WERROR=ON -DFORSTRIX_BUILD_DRAW=OFF \
    -DFORSTRIX_BUILD_TESTS=ON -DFORSTRIX_BUILD_BENCH=OFF "$@"
}
