#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test offscreen.
#   bash scripts/test.sh               the normal build (the stand-alone
#                                      edition), in build/
#   bash scripts/test.sh --network     the network edition, in build-net/,
#                                      against a throw-away PostgreSQL cluster
#                                      (scripts/pg-cluster.sh) that is started
#                                      for the run and always stopped again
#   bash scripts/test.sh --sanitizers  the same with AddressSanitizer and
#                                      UndefinedBehaviorSanitizer, in build-asan/;
#                                      any sanitizer report fails its test
#   bash scripts/test.sh --x11         the normal build, with every widget test
#                                      on an X server of its own (Xvfb) instead
#                                      of offscreen: real focus, activation and
#                                      lock keys
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"

# The two editions' builds differ in one file: with paths taken relative to
# the project, ccache gives build-net/ what build/ compiled already.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=true

build="$here/build"
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
case "${1:-}" in
"")
    ;;
--x11)
    # Each widget test program starts its own Xvfb and switches itself to it
    # (tests/support/KvTestDisplay.cpp); the rest stay offscreen.
    export QUILLMER_TEST_X11=1
    ;;
--network)
    build="$here/build-net"
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMER_EDITION=NETWORK)
    ;;
--sanitizers)
    build="$here/build-asan"
    # -O1 and line tables only: a quicker build, and reports still name files and lines.
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
             -DQUILLMER_SANITIZE=ON -DQUILLMER_BUILD_BENCH=OFF)
    # Also in force while the build lists the tests of each test program.
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp:print_suppressions=0"
    ;;
*)
    echo "usage: $0 [--network | --sanitizers | --x11]" >&2
    exit 2
    ;;
esac

cmake -S "$here" -B "$build" -G Ninja "${options[@]}" -DQUILLMER_BUILD_TESTS=ON >/dev/null
cmake --build "$build"

if [ "${1:-}" = "--network" ]; then
    # The server of the tests labelled "network"; stopped on every way out.
    cluster="$(mktemp -d /tmp/quillmer-pg.XXXXXX)"
    trap 'bash "$here/scripts/pg-cluster.sh" stop "$cluster"' EXIT
    bash "$here/scripts/pg-cluster.sh" start "$cluster" >/dev/null
    QUILLMER_TEST_PG="$(cat "$cluster/conninfo")"
    export QUILLMER_TEST_PG
fi

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 600
