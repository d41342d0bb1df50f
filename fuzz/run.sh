#!/bin/sh
# Builds the fuzz targets with clang and the sanitizers (the "fuzz" preset of CMakePresets.json),
# then runs them for SECONDS seconds in all (default 60): half for the RTF reader and writer over
# a copy of the RTF corpus, a quarter each for the recipient CSV and vCard readers over their
# seed files (fuzz/corpus). Exits 0 on a clean run, non-zero on a crash, a sanitizer report, a
# timeout or a leak (LeakSanitizer is on).
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
cmake --build "$build_dir" -j"$jobs" --target fuzz_rtf fuzz_csv fuzz_vcard

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/rtf" "$work/csv" "$work/vcard" "$work/artifacts"
# The corpora are read-only where they lie: the fuzzer adds its finds to copies.
if [ -d "$shared_dir/rtf-corpus" ]; then
    cp "$shared_dir"/rtf-corpus/*.rtf "$work/rtf/"
fi
cp "$here"/corpus/csv/* "$work/csv/"
cp "$here"/corpus/vcard/* "$work/vcard/"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
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
    echo "== fuzz_$1, $2 s"
    "$build_dir/fuzz_$1" -dict="$here/$1.dict" -max_total_time="$2" -timeout=30 -rss_limit_mb=4096 \
        -max_len="$4" -artifact_prefix="$work/artifacts/$1-" -print_final_stats=1 "$3" || status=1
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
