# PROJ is the reference the GNSS line benchmark runs beside; the sounder benchmark runs beside a
# bare append of the same bytes.
find_package(PkgConfig REQUIRED)
pkg_check_modules(PROJ REQUIRED proj)
target_include_directories(bench_survey PRIVATE ${PROJ_INCLUDE_DIRS})
target_link_libraries(bench_survey PRIVATE ${PROJ_LIBRARIES})
# The NMEA sentence helpers of the device simulator make the benchmark's lines.
target_link_libraries(bench_survey PRIVATE devsim)
