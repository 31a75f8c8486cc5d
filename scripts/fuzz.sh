#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each from its seed corpus
# in fuzz/corpus/ for FUZZ_SECONDS (default 60). What a run finds is left in
# build-fuzz/findings/ and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/install-packages.sh clang libclang-rt-14-dev
seconds=${FUZZ_SECONDS:-60}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DDIMMER_FUZZ=ON -DBUILD_TESTING=ON
targets=(fuzz_decoder fuzz_linequeue fuzz_scenefile fuzz_osc fuzz_webmessage fuzz_webframes
    fuzz_sacn fuzz_artnet fuzz_midireader fuzz_midiprofile)
cmake --build build-fuzz --target "${targets[@]}"
mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
    corpus=fuzz/corpus/${target#fuzz_}
    work=build-fuzz/corpus/${target#fuzz_}
    mkdir -p "$work"
    echo "== $target for ${seconds}s"
    # The panel's fuzzers keep one panel, and with it Qt, for the whole run.
    leaks=1
    case $target in
    fuzz_decoder | fuzz_linequeue | fuzz_webmessage | fuzz_webframes | fuzz_midireader | \
        fuzz_midiprofile) ;;
    *) leaks=0 ;;
    esac
    QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=$leaks \
        "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="build-fuzz/findings/$target-" -print_final_stats=1 \
        "$work" "$corpus"
done
