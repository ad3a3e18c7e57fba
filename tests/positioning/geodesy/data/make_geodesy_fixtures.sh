#!/bin/sh
# Regenerates the geodesy reference tables from independent implementations: PROJ's cct and
# GeographicLib's TransverseMercatorProj and ConicProj (Debian packages proj-bin and
# geographiclib-tools). Run from this folder: sh make_geodesy_fixtures.sh
set -eu

WGS84_A=6378137
WGS84_F=0.0033528106647474
INTL_A=6378388
INTL_F=0.003367003367003367
AIRY_A=6377563.396
AIRY_F=0.00334085064149708
GRS80_F=0.003352810681182319
CLARKE_A=6378249.2
CLARKE_F=0.003407549520015651

# helmert_step PPM RX RY RZ TX TY TZ: one seven-parameter set in the coordinate frame convention
# with the exact rotation matrix.
helmert_step() {
    echo "+proj=helmert +exact +convention=coordinate_frame +s=$1 +rx=$2 +ry=$3 +rz=$4 +x=$5 +y=$6 +z=$7"
}

datum_points() {
    cat <<'POINTS'
41.0 29.0 0
36.5 27.25 45.3
39.925 32.8667 850.5
40.99 28.97 -20
38.4192 27.1287 12.75
-33.9 18.4 10
60 -150 100
-45 170 0
10 100 2000
89.9 45 0
-89.5 -120 300
0 0 0
0 180 0
45 -179.999 0
71 25 50
-60 -65 0
POINTS
}

# datum_set SA SF P1(7) TA TF P2(7): one parameter set and its cases.
datum_set() {
    sa=$1 sf=$2 ta=${10} tf=${11}
    first=$(helmert_step $3 $4 $5 $6 $7 $8 $9)
    shift 11
    second=$(helmert_step "$@")
    chain="+proj=pipeline +step +proj=cart +a=$sa +f=$sf +step $first +step +inv $second"
    echo "@ $sa $sf $(echo "$first" | sed 's/.*+s=\([^ ]*\) +rx=\([^ ]*\) +ry=\([^ ]*\) +rz=\([^ ]*\) +x=\([^ ]*\) +y=\([^ ]*\) +z=\([^ ]*\)/\1 \2 \3 \4 \5 \6 \7/') $ta $tf $*"
    datum_points | while read -r lat lon h; do
        ecef=$(echo "$lon $lat $h 0" | cct -d 9 $chain | awk '{print $1, $2, $3}')
        geo=$(echo "$lon $lat $h 0" | cct -d 12 $chain +step +inv +proj=cart +a=$ta +f=$tf |
            awk '{print $2, $1, $3}')
        echo "$lat $lon $h $ecef $geo"
    done
}

{
    echo "# Datum chain: '@' lines hold the 18 parameters (source a f, forward set ppm rx ry rz"
    echo "# tx ty tz, target a f, reverse set); cases: lat lon h, target ECEF X Y Z, target"
    echo "# lat lon h. Reference: PROJ cct (cart, helmert +exact coordinate_frame, inverse cart)."
    # The survey's case: WGS 84 in, neutral first set, a realistic local datum.
    datum_set $WGS84_A $WGS84_F 0 0 0 0 0 0 0 $INTL_A $INTL_F 1.2 -0.8 -0.3 0.6 -84.12 -101.75 -129.33
    # Exaggerated rotations in both sets: a small-angle matrix or a sign-flipped reverse step
    # would be off by hundreds of metres.
    datum_set $WGS84_A $WGS84_F 35 2500 -1800 3000 120 -80 45 $INTL_A $INTL_F -20 -3600 4500 -2700 -300 250 -150
    # Neutral chain between two different ellipsoids.
    datum_set $WGS84_A $WGS84_F 0 0 0 0 0 0 0 $AIRY_A $AIRY_F 0 0 0 0 0 0 0
} > datum_chain.txt

# tm_set CM RL K0 FE FN A F: positions by PROJ's exact transverse Mercator.
tm_set() {
    echo "@ $*"
    for lat in -60 -45 -30 -15 0 15 30 45 60 71; do
        for d in 0 0.5 -1 2 -3 3.5 4 -4.5 5 -6 6; do
            lon=$(awk "BEGIN{printf \"%.12g\", $1 + $d}")
            echo "$lon $lat 0 0" | cct -d 6 +proj=tmerc +algo=poder_engsager +lon_0=$1 +lat_0=$2 \
                +k_0=$3 +x_0=$4 +y_0=$5 +a=$6 +f=$7 | awk -v lat=$lat -v lon=$lon '{print lat, lon, $1, $2}'
        done
    done
}

{
    echo "# Transverse Mercator: '@' lines hold cm rl k0 fe fn a f; cases: lat lon easting northing."
    echo "# Reference: PROJ cct +proj=tmerc +algo=poder_engsager (exact projection)."
    tm_set 27 0 0.9996 500000 0 $WGS84_A $WGS84_F
    tm_set 30 0 1 500000 0 $INTL_A $INTL_F
    tm_set -63 0 0.9996 500000 10000000 $WGS84_A $WGS84_F
    tm_set -2 49 0.9996012717 400000 -100000 $AIRY_A $AIRY_F
} > transverse_mercator.txt

# tm_factor_set CM K0 A F: convergence and point scale by GeographicLib (its convergence is
# positive east of the central meridian in the northern hemisphere).
tm_factor_set() {
    echo "@ $*"
    for lat in -60 -45 -30 -15 0 15 30 45 60 71; do
        for d in 0 0.5 -1 2 -3 3.5 4 -4.5 5 -6 6; do
            lon=$(awk "BEGIN{printf \"%.12g\", $1 + $d}")
            echo "$lat $lon" | TransverseMercatorProj -l $1 -k $2 -e $3 $4 -p 12 |
                awk -v lat=$lat -v lon=$lon '{print lat, lon, $3, $4}'
        done
    done
}

{
    echo "# Transverse Mercator convergence and point scale: '@' lines hold cm k0 a f; cases:"
    echo "# lat lon gamma k. Reference: GeographicLib TransverseMercatorProj (gamma positive east"
    echo "# of the central meridian in the northern hemisphere)."
    tm_factor_set 27 0.9996 $WGS84_A $WGS84_F
    tm_factor_set 30 1 $INTL_A $INTL_F
} > tm_convergence_scale.txt

# lambert_set KIND A F LAT0 LON0 LAT1 LAT2 K0 FE FN (degrees): KIND 1 is one standard parallel
# (LAT0 with scale K0), KIND 2 two parallels LAT1 LAT2 with the grid origin at LAT0.
lambert_set() {
    kind=$1 a=$2 f=$3 lat0=$4 lon0=$5 lat1=$6 lat2=$7 k0=$8 fe=$9 fn=${10}
    echo "@ $*"
    if [ "$kind" = 1 ]; then
        lcc="+proj=lcc +lat_1=$lat0 +lat_0=$lat0 +lon_0=$lon0 +k_0=$k0 +x_0=$fe +y_0=$fn +a=$a +f=$f"
        conic="-c $lat0 $lat0 -k $k0"
    else
        lcc="+proj=lcc +lat_1=$lat1 +lat_2=$lat2 +lat_0=$lat0 +lon_0=$lon0 +x_0=$fe +y_0=$fn +a=$a +f=$f"
        conic="-c $lat1 $lat2"
    fi
    for dlat in -12 -5 0 3.5 10; do
        for dlon in -9 -2.5 0 1 7.25; do
            lat=$(awk "BEGIN{printf \"%.12g\", $lat0 + $dlat}")
            lon=$(awk "BEGIN{printf \"%.12g\", $lon0 + $dlon}")
            grid=$(echo "$lon $lat 0 0" | cct -d 7 $lcc | awk '{print $1, $2}')
            gamma=$(echo "$lat $lon" | ConicProj $conic -l $lon0 -e $a $f -p 12 | awk '{print $3}')
            echo "$lat $lon $grid $gamma"
        done
    done
}

{
    echo "# Lambert conformal conic: '@' lines hold kind a f lat0 lon0 lat1 lat2 k0 fe fn (degrees;"
    echo "# kind 1: one standard parallel lat0 with scale k0, kind 2: parallels lat1 lat2, origin"
    echo "# lat0); cases: lat lon easting northing gamma. Reference: PROJ cct +proj=lcc for the"
    echo "# positions, GeographicLib ConicProj for the convergence (positive east where n > 0)."
    lambert_set 1 $CLARKE_A $CLARKE_F 46.8 2.337229167 0 0 0.99987742 600000 2200000
    lambert_set 1 $WGS84_A $WGS84_F -30 25 0 0 0.9999 500000 1000000
    lambert_set 2 $WGS84_A $GRS80_F 46.5 3 49 44 1 700000 6600000
    lambert_set 2 $INTL_A $INTL_F -25 135 -10 -40 1 1000000 2000000
    lambert_set 2 $WGS84_A $WGS84_F 40 -100 40 40 1 0 0
} > lambert.txt

# The whole position chain as the survey runs it: WGS 84 in, the local datum's parameters applied
# in reverse, transverse Mercator on the local ellipsoid.
{
    echo "# Position chain: the '@' line holds the 18 datum parameters followed by cm rl k0 fe fn;"
    echo "# cases: WGS 84 lat lon, easting northing. Reference: PROJ cct (cart, inverse helmert"
    echo "# +exact coordinate_frame, inverse cart, tmerc +algo=poder_engsager)."
    echo "@ $WGS84_A $WGS84_F 0 0 0 0 0 0 0 $INTL_A $INTL_F 1.2 -0.8 -0.3 0.6 -84.12 -101.75 -129.33 30 0 1 500000 0"
    for lat in 36 38.5 41 42.1; do
        for lon in 26.5 28 30 31.25 33.9; do
            echo "$lon $lat 0 0" | cct -d 6 +proj=pipeline +step +proj=cart +a=$WGS84_A +f=$WGS84_F \
                +step +inv $(helmert_step 1.2 -0.8 -0.3 0.6 -84.12 -101.75 -129.33) \
                +step +inv +proj=cart +a=$INTL_A +f=$INTL_F \
                +step +proj=tmerc +algo=poder_engsager +lon_0=30 +lat_0=0 +k_0=1 +x_0=500000 +y_0=0 \
                +a=$INTL_A +f=$INTL_F | awk -v lat=$lat -v lon=$lon '{print lat, lon, $1, $2}'
        done
    done
} > grid_chain.txt
