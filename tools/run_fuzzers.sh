#!/usr/bin/env bash
# Runs every libFuzzer target of the fuzz build for FUZZ_SECONDS seconds each (default 60),
# FUZZ_JOBS of them at once (default 3). Each keeps its corpus and findings under
# <fuzz build>/fuzz-runs/<target>/ and starts from the project's own fixtures of its reader.
# Stops at the first finding and names the reproducer; keep it under tests/<folder>/data/fuzz/
# with an ordinary test that replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
export FUZZ_DIR="${FUZZ_DIR:-build-fuzz}"
export FUZZ_SECONDS="${FUZZ_SECONDS:-60}"
jobs="${FUZZ_JOBS:-3}"
mkdir -p "$FUZZ_DIR/fuzz-runs"

run_one() {
    local target="$1"
    local name
    name="$(basename "$target")"
    local run="$FUZZ_DIR/fuzz-runs/$name"
    mkdir -p "$run/corpus" "$run/findings"
    local seeds=()
    # Fixtures that lie among others of another reader: copied into the run's own seed folder.
    local seed_files=()
    local rss=2048
    local asan="${ASAN_OPTIONS:-}"
    case "$name" in
        fuzz_dxf_reader)
            seeds=(tests/drawing_io/data/dxf tests/drawing_io/data/fuzz)
            rss=4096
            asan="detect_leaks=0" ;;
        fuzz_nmea_sentence|fuzz_serial_line_cutting) seeds=(tests/positioning/gnss/data/fuzz) ;;
        fuzz_rtcm_capture) seeds=(tests/positioning/rtcm/data tests/positioning/rtcm/data/fuzz) ;;
        fuzz_ntrip_response) seeds=(tests/positioning/ntrip/data/fuzz) ;;
        fuzz_geodesy_text) seeds=(tests/positioning/geodesy/data/fuzz) ;;
        fuzz_ini_file) seeds=(tests/platform/data/fuzz) ;;
        fuzz_sounder_scan) seeds=(tests/platform/data/sounder-scan) ;;
        fuzz_kml_reader) seeds=(tests/drawing_io/data/kml tests/drawing_io/data/fuzz-kml) ;;
        fuzz_xyz_reader) seeds=(tests/drawing_io/data/xyz tests/drawing_io/data/fuzz-xyz) ;;
        fuzz_project_file)
            seeds=(tests/drawing_io/data/fuzz-project)
            seed_files=(tests/drawing_io/data/small*.wjt tests/drawing_io/data/small.txt) ;;
        fuzz_kmz_archive)
            seeds=(tests/drawing_io/data/fuzz-kmz)
            seed_files=(tests/drawing_io/data/kml/*.kmz) ;;
        fuzz_sound_velocity_files)
            # Not the long generated cast: its 400 kB would become every input's length.
            seeds=(tests/survey/data/fuzz)
            seed_files=(tests/survey/data/cast_{decimal_comma,header,missing}.csv
                tests/survey/data/cast_tab.txt tests/survey/data/expected_*) ;;
        fuzz_language_file)
            seeds=(tests/app/data/languages tests/app/data/fuzz-languages) ;;
    esac
    if [ ${#seed_files[@]} -gt 0 ]; then
        mkdir -p "$run/seeds"
        cp "${seed_files[@]}" "$run/seeds/"
        seeds+=("$run/seeds")
    fi
    local existing=()
    for seed in "${seeds[@]}"; do
        [ -d "$seed" ] && existing+=("$seed")
    done
    if ASAN_OPTIONS="$asan" "$target" -max_total_time="$FUZZ_SECONDS" -print_final_stats=1 \
        -rss_limit_mb="$rss" -artifact_prefix="$run/findings/" "$run/corpus" \
        "${existing[@]}" >"$run/log" 2>&1; then
        local done_line runs
        done_line="$(grep -E '^#[0-9]+.*DONE' "$run/log" | tail -1)"
        runs="$(grep -E '^stat::number_of_executed_units' "$run/log" | awk '{print $2}')"
        echo "$name: $runs executions, $(echo "$done_line" | grep -oE 'cov: [0-9]+ ft: [0-9]+')"
    else
        echo "$name: FINDING, reproducer: $(ls -t "$run"/findings/* 2>/dev/null | head -1)" >&2
        grep -E 'property failed|ERROR|SUMMARY' "$run/log" | head -5 >&2
        exit 255 # tells xargs to start no further target
    fi
}
export -f run_one

find "$FUZZ_DIR/fuzz" -maxdepth 1 -name 'fuzz_*' -type f -perm -u+x | sort |
    xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {}
