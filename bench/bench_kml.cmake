# The KML benchmark writes its input with bench/make_kml.py and runs ogr2ogr beside the reader.
target_compile_definitions(bench_kml PRIVATE BENCH_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
