# PROJ is the independent reference the geodesy benchmark runs side by side with ours.
find_package(PkgConfig REQUIRED)
pkg_check_modules(PROJ REQUIRED proj)
target_include_directories(bench_geodesy PRIVATE ${PROJ_INCLUDE_DIRS})
target_link_libraries(bench_geodesy PRIVATE ${PROJ_LIBRARIES})
