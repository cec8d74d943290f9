#!/usr/bin/env bash
# Checks kxli as other projects and machines receive it:
#
#   cmake/package_check.sh [SOURCE_DIR [SCRATCH_DIR]]
#
#  1. configure and build SOURCE_DIR (Release, no tests) in SCRATCH_DIR/build
#  2. install it into SCRATCH_DIR/prefix
#  3. build examples/consumer against that prefix (never the build tree), run it
#  4. compile the consumer's main.cpp alone with `pkg-config --cflags --libs kxli`, run it
#  5. when the Python package is built: import it from the prefix with the
#     interpreter it was built for, and walk a message with it
#  6. `cpack -G DEB`, `apt-get install ./kxli_*.deb`, `kxmsg demo` from PATH,
#     the Python package imported from the system's package directory,
#     `apt-get remove kxli`
#
# SOURCE_DIR defaults to the checkout this script is in, SCRATCH_DIR to a new
# temporary directory (removed at the end when the script made it). Exits
# non-zero on the first failure, after showing the end of that step's log.
# Needs root for apt-get; installs cmake, ninja, g++, pkg-config, dpkg-dev
# and file when they are missing.
set -euo pipefail

source_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
if [ $# -ge 2 ]; then
  mkdir -p "$2"
  scratch=$(cd "$2" && pwd)
  made_scratch=false
else
  scratch=$(mktemp -d /tmp/kxli-package-check.XXXXXX)
  made_scratch=true
fi
build="$scratch/build"
prefix="$scratch/prefix"
logs="$scratch/logs"
rm -rf "$build" "$prefix" "$logs" "$scratch/consumer" "$scratch/pkgconfig-program"
mkdir -p "$logs"

installed_package=false
finish() {
  local status=$?
  if $installed_package; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kxli >/dev/null 2>&1 || true
    dpkg --purge kxli >/dev/null 2>&1 || true
  fi
  if $made_scratch && [ "$status" -eq 0 ]; then rm -rf "$scratch"; fi
  if [ "$status" -ne 0 ]; then echo "package check FAILED (logs in $logs)" >&2; fi
}
trap finish EXIT

# run NAME COMMAND...: runs the command with its output in logs/NAME.log.
run() {
  local name=$1
  shift
  if ! "$@" >"$logs/$name.log" 2>&1; then
    echo "-- $name failed: $*" >&2
    tail -n 40 "$logs/$name.log" >&2
    return 1
  fi
}
step() { echo "== package check: $*"; }
fail() {
  echo "-- $*" >&2
  exit 1
}
package_installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' kxli 2>/dev/null)" = installed ]
}

need=()
for tool in cmake:cmake ninja:ninja-build g++:g++ pkg-config:pkg-config \
            dpkg-shlibdeps:dpkg-dev file:file; do
  command -v "${tool%%:*}" >/dev/null 2>&1 || need+=("${tool##*:}")
done
if [ "${#need[@]}" -gt 0 ]; then
  step "installing ${need[*]}"
  run apt-update apt-get update -qq
  run apt-install env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi

step "configure and build $source_dir (Release, no tests)"
run configure cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKXL_BUILD_TESTS=OFF -DKXL_WARNINGS_AS_ERRORS=ON
run build cmake --build "$build" -j 2

step "install into $prefix"
run install cmake --install "$build" --prefix "$prefix"

step "build and run the consumer against the installed package"
run consumer-configure cmake -S "$source_dir/examples/consumer" -B "$scratch/consumer" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF \
  -DCMAKE_CXX_FLAGS="-Wall -Wextra -Wpedantic -Werror"
found=$(sed -n 's/^kxli_DIR:PATH=//p' "$scratch/consumer/CMakeCache.txt")
case "$found" in
  "$prefix"/*) ;;
  *) fail "the consumer found kxli in '$found', not in $prefix" ;;
esac
run consumer-build cmake --build "$scratch/consumer"
run consumer-run "$scratch/consumer/consumer"

step "compile and run a one-file program with pkg-config"
pc_file=$(find "$prefix" -name kxli.pc -path '*/pkgconfig/*' | head -n 1)
[ -n "$pc_file" ] || fail "no kxli.pc under $prefix"
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$pc_file")
read -r -a pc_flags <<<"$(pkg-config --cflags --libs kxli)"
libdir=$(pkg-config --variable=libdir kxli)
run pkgconfig-compile g++ -std=c++17 -Wall -Wextra -Wpedantic -Werror \
  "$source_dir/examples/consumer/main.cpp" "${pc_flags[@]}" -o "$scratch/pkgconfig-program"
run pkgconfig-run env LD_LIBRARY_PATH="$libdir" "$scratch/pkgconfig-program"
unset PKG_CONFIG_PATH

# The interpreter the Python package was built for, empty when it was not.
python=$(sed -n 's/^KXL_PYTHON_EXECUTABLE:INTERNAL=//p' "$build/CMakeCache.txt")
# python_check DIRECTORY [PYTHONPATH]: imports kxli with that interpreter
# from /, checks that it came from DIRECTORY, and walks a message with it.
python_check() {
  (cd / && env -u PYTHONPATH ${2:+PYTHONPATH="$2"} "$python" - "$1" <<'EOF'
import sys
import kxli
assert kxli.__file__.startswith(sys.argv[1] + "/kxli/"), kxli.__file__
message = kxli.Message()
message.write("hello")
message.write(kxli.DeadLetterHeader(destination_queue_name="Q"))
assert [type(item).__name__ for item in message.items()] == ["DeadLetterHeader", "TextBody"]
EOF
  )
}

if [ -n "$python" ]; then
  step "import the Python package from $prefix with $python"
  package_dir=$(find "$prefix" -type d -name kxli -path '*-packages/kxli' | head -n 1)
  [ -n "$package_dir" ] || fail "no Python package kxli under $prefix"
  run python-prefix python_check "$(dirname "$package_dir")" "$(dirname "$package_dir")"
else
  step "the Python package was not built: not checked"
fi

step "build the Debian package"
run cpack bash -c "cd '$build' && cpack -G DEB"
debs=("$build"/kxli_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  fail "expected one kxli_*.deb in $build"
fi

step "install $(basename "${debs[0]}") and run kxmsg demo from it"
if package_installed; then
  run apt-remove-old env DEBIAN_FRONTEND=noninteractive apt-get remove -y kxli
fi
installed_package=true
run apt-install-deb bash -c \
  "cd '$build' && DEBIAN_FRONTEND=noninteractive apt-get install -y ./$(basename "${debs[0]}")"
[ "$(command -v kxmsg)" = /usr/bin/kxmsg ] || fail "kxmsg on PATH is '$(command -v kxmsg)'"
run kxmsg-demo bash -c "cd / && env -u LD_LIBRARY_PATH kxmsg demo"
if [ -n "$python" ]; then
  run python-package python_check /usr/lib/python3/dist-packages
fi

step "remove the package"
run apt-remove env DEBIAN_FRONTEND=noninteractive apt-get remove -y kxli
if [ -e /usr/bin/kxmsg ] || package_installed; then
  fail "kxli is still installed after apt-get remove"
fi
# What remove keeps (the package's record in dpkg) goes too.
run dpkg-purge dpkg --purge kxli
installed_package=false

echo "== package check passed"
