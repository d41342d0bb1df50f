#!/bin/sh
# Builds the RTF fuzz target with clang and the sanitizers (the "fuzz" preset of
# CMakePresets.json), then runs it for SECONDS seconds (default 60) over a copy of the RTF
# corpus. Exits 0 on a clean run, non-zero on a crash, a sanitizer report, a timeout or a leak
# (LeakSanitizer is on).
# Installs clang and its sanitizer runtime first when they are missing (apt-get; sudo when not
# root): only this run needs them.
# Usage: fuzz/run.sh [SECONDS]
set -eu
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${QUILLO_FUZZ_BUILD_DIR:-$source_dir/build-fuzz}
shared_dir=${QUILLO_SHARED_DIR:-$source_dir/../shared}
jobs=${QUILLO_FUZZ_JOBS:-2}

missing=""
for package in clang libclang-rt-14-dev; do
    dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
done
if [ -n "$missing" ]; then
    echo "Installation de :$missing"
    sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

cd "$source_dir"
cmake --preset fuzz -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j"$jobs" --target fuzz_rtf

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
# The corpus is read-only where it lies: the fuzzer adds its finds to a copy.
if [ -d "$shared_dir/rtf-corpus" ]; then
    cp "$shared_dir"/rtf-corpus/*.rtf "$work/corpus/"
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
set +e
"$build_dir/fuzz_rtf" -dict="$here/rtf.dict" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
    -max_len=262144 -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$work/corpus"
status=$?
if ls "$work"/artifacts/* >/dev/null 2>&1; then
    mkdir -p "$build_dir/fuzz-artifacts"
    cp "$work"/artifacts/* "$build_dir/fuzz-artifacts/"
    echo "fuzz: failing inputs kept in $build_dir/fuzz-artifacts" >&2
    exit 1
fi
exit $status
