# libzip itself as well: the target opens the archive on its own to tell an empty document
# from a refusal.
find_package(PkgConfig REQUIRED)
pkg_check_modules(FUZZ_LIBZIP REQUIRED IMPORTED_TARGET libzip)
target_link_libraries(fuzz_kmz_archive PRIVATE drawing_io PkgConfig::FUZZ_LIBZIP)
