#!/bin/sh
# Builds the fuzz targets with clang and the sanitizers, then runs them for SECONDS seconds in
# all (default 60): half for the RTF reader and writer over a copy of the RTF corpus, a quarter
# each for the recipient CSV and vCard readers over their seed files. Exits 0 on a clean run,
# non-zero on a crash, a sanitizer report, a timeout or a leak.
# Usage: fuzz/run.sh [SECONDS]
set -eu
seconds=${1:-60}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${QUILLO_FUZZ_BUILD_DIR:-$source_dir/build-fuzz}
shared_dir=${QUILLO_SHARED_DIR:-$source_dir/../shared}
jobs=${QUILLO_FUZZ_JOBS:-2}

CC=clang CXX=clang++ cmake -S "$here" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"$jobs" --target fuzz_rtf fuzz_csv fuzz_vcard

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/rtf" "$work/csv" "$work/vcard" "$work/artifacts"
# The corpora are read-only where they lie: the fuzzer adds its finds to copies.
if [ -d "$shared_dir/rtf-corpus" ]; then
    cp "$shared_dir"/rtf-corpus/*.rtf "$work/rtf/"
fi
if [ -d "$source_dir/tests/data/rtf" ]; then
    cp "$source_dir"/tests/data/rtf/* "$work/rtf/" 2>/dev/null || true
fi
cp "$here"/corpus/csv/* "$work/csv/"
cp "$here"/corpus/vcard/* "$work/vcard/"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

rtf_seconds=$((seconds / 2))
[ "$rtf_seconds" -ge 1 ] || rtf_seconds=1
csv_seconds=$((seconds / 4))
[ "$csv_seconds" -ge 1 ] || csv_seconds=1
vcard_seconds=$((seconds - rtf_seconds - csv_seconds))
[ "$vcard_seconds" -ge 1 ] || vcard_seconds=1

status=0
# run TARGET SECONDS CORPUS MAX_LEN
run() {
    dict=""
    [ -f "$here/$1.dict" ] && dict="-dict=$here/$1.dict"
    echo "== $1 for $2 s"
    "$build_dir/fuzz_$1" $dict -max_total_time="$2" -timeout=30 -rss_limit_mb=4096 -max_len="$4" \
        -artifact_prefix="$work/artifacts/$1-" -print_final_stats=1 "$3" || status=1
}
set +e
run rtf "$rtf_seconds" "$work/rtf" 262144
run csv "$csv_seconds" "$work/csv" 65536
run vcard "$vcard_seconds" "$work/vcard" 65536
if ls "$work"/artifacts/* >/dev/null 2>&1; then
    mkdir -p "$build_dir/fuzz-artifacts"
    cp "$work"/artifacts/* "$build_dir/fuzz-artifacts/"
    echo "fuzz: failing inputs kept in $build_dir/fuzz-artifacts" >&2
    exit 1
fi
exit $status
