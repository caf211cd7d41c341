#!/bin/sh
# Builds the fuzz targets of the readers (tests/fuzz, clang with libFuzzer) and
# runs each for SECONDS seconds (default 60), seeded from tests/data (the JPEG
# target from small generated JPEGs). Fails when a target finds a crash, a
# leak, undefined behaviour, a time-out or a memory limit; the input that did
# it is kept in build-fuzz/.
# usage: tools/fuzz.sh [SECONDS]
set -e
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build-fuzz
CXX=clang++ cmake -S tests/fuzz -B $out -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build $out -j2

# Seeds the forms of latitude and longitude have no data file of their own.
mkdir -p $out/seeds/angles
printf '30.1536N,120.3E' > $out/seeds/angles/packed
printf '30:15:36.5,120:18:0' > $out/seeds/angles/sexagesimal
printf '%s' '-0.5S,-179.59599999W' > $out/seeds/angles/signs

mkdir -p $out/seeds/rtf
cp resources/*.doc $out/seeds/rtf/

mkdir -p $out/seeds/pricking
printf '%s\r\n' '点名,航片,X,Y,刺点片' 'P0001,IMG_0286.JPG,2736.5,1824.25,是' 'P0001,IMG_0287.JPG,1,2,否' |
    iconv -f UTF-8 -t GBK > $out/seeds/pricking/record.csv

mkdir -p $out/seeds/jpeg
$out/make_jpeg_seeds $out/seeds/jpeg

data=tests/data
status=0
for target in split_fields pos_reader raw_csv point_descriptions coordinate_table angles \
    rtf_template jpeg_dct_turn candidates pricking_record; do
    case $target in
        split_fields) seeds="$data/pos $data/project" ;;
        pos_reader) seeds="$data/pos" ;;
        raw_csv | coordinate_table) seeds="$data/project" ;;
        point_descriptions) seeds="$data/project/point_descriptions" ;;
        angles) seeds="$out/seeds/angles" ;;
        rtf_template) seeds="$out/seeds/rtf" ;;
        jpeg_dct_turn) seeds="$out/seeds/jpeg" ;;
        pricking_record) seeds="$out/seeds/pricking" ;;
        candidates) seeds="$out/seeds/jpeg $data/project" ;;
    esac
    mkdir -p $out/corpus/$target
    printf '%s: %s s ... ' $target "$seconds"
    # shellcheck disable=SC2086
    if (cd $out && ./${target}_fuzz -max_total_time="$seconds" -timeout=20 -rss_limit_mb=1024 \
            -print_final_stats=1 -artifact_prefix="$target-" corpus/$target \
            $(for s in $seeds; do printf '%s ' "../$s"; done) > $target.log 2>&1); then
        grep -o 'stat::number_of_executed_units: *[0-9]*' $out/$target.log | sed 's/.*: */runs /'
    else
        echo FAILED
        tail -n 40 $out/$target.log
        status=1
    fi
done
exit $status
