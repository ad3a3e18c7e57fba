# The DXF benchmark writes its input with bench/make_big_r12.py and runs ogr2ogr beside the reader.
target_compile_definitions(bench_dxf PRIVATE BENCH_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
