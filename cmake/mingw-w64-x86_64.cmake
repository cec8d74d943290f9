# Cross build for 64-bit Windows with the mingw-w64 compilers, run under wine.
#
#   cmake --preset mingw        (or -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)
#
# The "posix" thread-model compilers are used: with the "win32" model the
# standard library of this compiler generation has no std::mutex, which
# kxecs needs.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KXL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KXL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KXL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KXL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KXL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime (libgcc, libstdc++, winpthread) is linked statically
# into every executable and DLL. Each binary then needs nothing but the
# system DLLs and the project's own DLLs, which sit beside it, so it runs
# under wine (test discovery, ctest, or by hand) without a WINEPATH that
# would have to name the compiler's version-specific runtime directory.
# Sharing the runtime across modules is not needed: no allocation crosses a
# module boundary to be released on the other side, and all of them end in
# the one system C runtime anyway.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Windows programs built here (tests, test discovery, tools) run under wine
# through a small script written into the build tree:
# - WINEDEBUG=-all keeps wine's own diagnostics out of the output;
# - the prefix lives in the build tree, so nothing depends on the state of
#   the user's ~/.wine; it is created on first use (a few seconds) under a
#   lock, as ctest may start several programs at once; mscoree and mshtml
#   are disabled so that creating it never asks for the .NET or HTML
#   runtimes; no display is needed, as the programs are console programs;
# - wine leaves its server and service processes running for a while after
#   the program has ended, and they hold on to the output the program was
#   given; a caller reading a pipe (ctest, test discovery) would wait for
#   them. So the program writes to files that are copied out once it ends.
find_program(KXL_WINE NAMES wine wine64 REQUIRED)
set(KXL_WINE_RUN "${CMAKE_BINARY_DIR}/kxl-wine-run.sh")
file(CONFIGURE OUTPUT "${KXL_WINE_RUN}" @ONLY CONTENT [=[
#!/bin/sh
# Runs a Windows program under wine: kxl-wine-run.sh PROGRAM [ARGUMENTS...]
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="@CMAKE_BINARY_DIR@/wineprefix"
if [ ! -e "$WINEPREFIX/.ready" ]; then
  flock "$WINEPREFIX.lock" sh -c \
    '[ -e "$WINEPREFIX/.ready" ] || { "$1" wineboot --init && touch "$WINEPREFIX/.ready"; }' \
    sh "@KXL_WINE@" </dev/null >/dev/null 2>&1
fi
out=$(mktemp) && err=$(mktemp) || exit 125
"@KXL_WINE@" "$@" </dev/null >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $status
]=])
set(CMAKE_CROSSCOMPILING_EMULATOR /bin/sh "${KXL_WINE_RUN}")
