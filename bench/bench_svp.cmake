# The profile benchmark builds its column from the test fixture's cast.
target_compile_definitions(bench_svp PRIVATE
    BENCH_CAST_FILE="${CMAKE_SOURCE_DIR}/tests/survey/data/cast_default.txt")
