#!/bin/sh
# Seeds, runs and minimises the fuzz targets.
#
#   fuzz/run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
#
# A run's timeout (TORVEX_FUZZ_TIMEOUT, 10 s) is wall time: a niced run that
# shares the machine with a build may be held back that long by the build
# alone, so give it more there and replay a timeout alone before believing it.
# The 256 MiB cap likewise measures the whole process, and over millions of
# executions that also holds libFuzzer's growing corpus and the sanitizers'
# allocator caches: replay an out-of-memory input alone, under
# /usr/bin/time -v, before taking it for the reader's own allocation.
#
# BUILD_DIR is a build folder configured with -DTORVEX_FUZZ=ON (clang). Each
# target (all when none are named) runs niced for SECONDS, or until it has made
# TORVEX_FUZZ_RUNS executions when that is set, with the 256 MiB memory cap, starting from its project corpus (fuzz/corpus/<target>), the
# hand-made seeds (fuzz/seeds/<target>), seeds taken from the shipped PCs and,
# when present, the real data recorded by others (read in place, never
# copied). The new corpus is then merged (-merge=1) back into
# fuzz/corpus/<target>; the real-data files themselves are not merged in,
# only what the fuzzer derived from them. Findings land in
# BUILD_DIR/fuzz-findings/<target>/; the run's log in BUILD_DIR/fuzz-logs/.
set -eu
# The readers that take a folder write a small tree per input: in memory it
# costs a fraction of what a disk-backed /tmp does.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
# AddressSanitizer holds freed memory back in a quarantine of 256 MiB by
# default, which alone would trip the 256 MiB cap on large inputs; a small
# one keeps the cap a measure of what the reader itself allocates.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}
build=$(cd "$1" && pwd); seconds=$2; shift 2
src=$(cd "$(dirname "$0")/.." && pwd)
realdata=${TORVEX_REALDATA_DIR:-$src/../shared/realdata}
work=$build/fuzz-work/$$
targets=${*:-$(cd "$build/fuzz" && ls fuzz_* | sed 's/^fuzz_//')}

# Seeds from the shipped PCs (allowed into the project's corpus) and from the
# real data (only ever passed as a read-only corpus folder).
ship() { # target, then files
    t=$1; shift
    mkdir -p "$work/ship/$t"
    for f in "$@"; do [ -f "$f" ] && cp "$f" "$work/ship/$t/$(echo "$f" | md5sum | cut -c1-12)-$(basename "$f" | tr ' ' _)"; done
    return 0
}
real() { # target, then files
    t=$1; shift
    mkdir -p "$work/real/$t"
    for f in "$@"; do [ -f "$f" ] && ln -sf "$f" "$work/real/$t/$(basename "$f")"; done
    return 0
}
rm -rf "$work/ship" "$work/real"
m=$src/machines
ship regfile "$m"/*/registry/*.reg
ship cpuid "$m"/*/cpuid.txt
ship machine_json "$m"/*/machine.json
mkdir -p "$work/ship/machine_json"
for v in "$m"/*/machine.json; do
    grep -q '"base"' "$v" || continue
    base=$(sed -n 's/.*"base": *"\.\.\/\([^"]*\)".*/\1/p' "$v")
    { sed 's/"base": *"[^"]*"/"base": "..\/base"/' "$v"; printf '\n#base\n'; cat "$m/$base/machine.json"; } \
        > "$work/ship/machine_json/variant-$(basename "$(dirname "$v")").json"
done
find "$m" -iname '*.ini' -size -64k | while read -r f; do ship profile "$f"; done
find "$m" -iname '*.lnk' | while read -r f; do ship shortcut "$f"; done
find "$m" \( -iname '*.exe' -o -iname '*.dll' \) -size -256k | while read -r f; do ship peversion "$f"; done
ship jpeg "$src"/app/art/*.jpg
h=$src/tests/data/hostroot
ship host_mountinfo "$h/proc/self/mountinfo"
ship host_meminfo "$h/proc/meminfo"
ship host_osrelease "$h/etc/os-release"
ship host_uevent "$src"/tests/data/udev/*.devices
real cpuid "$realdata"/cpuid/*.txt
real shortcut "$realdata"/lnk/*.lnk
real smbios_segment "$realdata"/firmware/*.f000.bin
# The sysfs pair: a first byte of 31 makes the first 31 bytes of the dump
# the entry point and the rest the table.
mkdir -p "$work/real/smbios_sysfs"
for f in "$realdata"/firmware/*.dmibin; do
    [ -f "$f" ] && { printf '\037'; cat "$f"; } > "$work/real/smbios_sysfs/$(basename "$f")"
done

mkdir -p "$build/fuzz-logs" "$build/fuzz-findings"
for t in $targets; do
    exe=$build/fuzz/fuzz_$t
    [ -x "$exe" ] || { echo "$t: not built" >&2; continue; }
    mkdir -p "$work/new/$t" "$src/fuzz/corpus/$t" "$build/fuzz-findings/$t"
    # Text parsers meet short inputs; a small cap keeps their corpora small.
    case $t in
        host_asound|host_powersupply|host_route|host_drm|host_scsi|host_uevent) maxlen=16384 ;;
        host_*) maxlen=4096 ;;
        *) maxlen=262144 ;;
    esac
    dirs="$work/new/$t $src/fuzz/corpus/$t"
    for d in "$src/fuzz/seeds/$t" "$work/ship/$t" "$work/real/$t"; do [ -d "$d" ] && dirs="$dirs $d"; done
    # shellcheck disable=SC2086
    (cd "$build/fuzz-findings/$t" && nice -n 10 "$exe" -rss_limit_mb=256 -max_total_time="$seconds" -runs="${TORVEX_FUZZ_RUNS:--1}" -timeout="${TORVEX_FUZZ_TIMEOUT:-10}" \
        -max_len=$maxlen -print_final_stats=1 $dirs) > "$build/fuzz-logs/$t.log" 2>&1 || echo "$t: FINDING, see $build/fuzz-logs/$t.log"
    merge="$work/new/$t"
    for d in "$src/fuzz/seeds/$t" "$work/ship/$t"; do [ -d "$d" ] && merge="$merge $d"; done
    # shellcheck disable=SC2086
    nice -n 10 "$exe" -rss_limit_mb=256 -merge=1 "$src/fuzz/corpus/$t" $merge > "$build/fuzz-logs/$t.merge.log" 2>&1 || true
    echo "$t: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$build/fuzz-logs/$t.log" | tail -1) corpus $(ls "$src/fuzz/corpus/$t" | wc -l) files"
    rm -rf "$work/new/$t"
done
