#!/bin/sh
# Builds the fuzz targets with clang and the sanitizers (the "fuzz" preset of CMakePresets.json),
# then runs them for SECONDS seconds in all (default 60), each over a copy of its seed corpus with
# its dictionary and on small inputs, where a target runs hundreds to thousands of times a second:
#   rtf         the RTF reader and writer, whole documents of up to 4 KB   2/8 of the time
#   rtf_tokens  the RTF tokenizer alone, up to 16 KB                       1/8
#   csv, vcard  the recipient readers and their mapping, up to 16 KB       1/8 each
#   card        contact cards, up to 4 KB                                  1/8
#   model       letter models, up to 8 KB                                  1/8
#   phrases     the writing assistant's phrase files, up to 8 KB           1/8
# Naming targets runs only those, sharing the seconds evenly (fuzz/run.sh 1800 rtf: half an hour
# of the RTF reader). The RTF targets start from fuzz/corpus/rtf and the shared RTF corpus beside
# the clone, the others from fuzz/corpus/<target>.
# Exits 0 on a clean run, non-zero on a crash, a sanitizer report, a timeout or a leak
# (LeakSanitizer is on); the failing inputs are kept in build-fuzz/fuzz-artifacts.
# Installs clang and its sanitizer runtime first when they are missing (apt-get; sudo when not
# root): only this run needs them.
# Usage: fuzz/run.sh [SECONDS [TARGET...]]
set -eu
seconds=${1:-60}
[ $# -gt 0 ] && shift
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${QUILLO_FUZZ_BUILD_DIR:-$source_dir/build-fuzz}
shared_dir=${QUILLO_SHARED_DIR:-$source_dir/../shared}
jobs=${QUILLO_FUZZ_JOBS:-2}

# target weight max_len dictionary corpus
targets="rtf 2 4096 rtf rtf
rtf_tokens 1 16384 rtf rtf
csv 1 16384 csv csv
vcard 1 16384 vcard vcard
card 1 4096 textfile card
model 1 8192 textfile model
phrases 1 8192 textfile phrases"
if [ $# -gt 0 ]; then
    chosen=""
    for name in "$@"; do
        line=$(echo "$targets" | awk -v n="$name" '$1 == n { print $1, 1, $3, $4, $5 }')
        if [ -z "$line" ]; then
            echo "Cible inconnue : $name (cibles : $(echo "$targets" | awk '{ printf "%s ", $1 }'))" >&2
            exit 2
        fi
        chosen="$chosen$line
"
    done
    targets=$(printf '%s' "$chosen")
fi

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
cmake --build "$build_dir" -j"$jobs" --target $(echo "$targets" | awk '{ printf "fuzz_%s ", $1 }')

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/artifacts"

export QT_QPA_PLATFORM=offscreen
# Short allocation stacks: recording thirty frames for every allocation of the reader took a
# tenth of the run; a report still shows where it failed in full.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1:malloc_context_size=8}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

total_weight=$(echo "$targets" | awk '{ w += $2 } END { print w }')
status=0
while read -r name weight max_len dictionary corpus; do
    share=$((seconds * weight / total_weight))
    [ "$share" -ge 1 ] || share=1
    # The corpora are read-only where they lie: the fuzzer adds its finds to copies.
    mkdir -p "$work/$name"
    cp "$here/corpus/$corpus"/* "$work/$name/"
    if [ "$corpus" = rtf ] && [ -d "$shared_dir/rtf-corpus" ]; then
        # Larger files would only be cut to max_len.
        find "$shared_dir/rtf-corpus" -maxdepth 1 -name '*.rtf' -size -64k -exec cp {} "$work/$name/" \;
    fi
    echo "== fuzz_$name, $share s"
    "$build_dir/fuzz_$name" -dict="$here/$dictionary.dict" -max_total_time="$share" -timeout=30 \
        -rss_limit_mb=4096 -max_len="$max_len" -artifact_prefix="$work/artifacts/$name-" -print_final_stats=1 \
        "$work/$name" </dev/null || status=1
done <<EOF
$targets
EOF
if ls "$work"/artifacts/* >/dev/null 2>&1; then
    mkdir -p "$build_dir/fuzz-artifacts"
    cp "$work"/artifacts/* "$build_dir/fuzz-artifacts/"
    echo "fuzz: failing inputs kept in $build_dir/fuzz-artifacts" >&2
    exit 1
fi
exit $status
