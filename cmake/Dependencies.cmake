# Every outside library, looked up once here with one target each; scripts/bootstrap installs
# them. Targets made at the top level are seen by every folder below it.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED) # Threads::Threads
find_package(GTest REQUIRED) # GTest::gtest, GTest::gmock
find_package(benchmark REQUIRED) # benchmark::benchmark_main
find_package(ZLIB REQUIRED) # ZLIB::ZLIB

pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_TTF REQUIRED IMPORTED_TARGET SDL2_ttf)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(LZO2 REQUIRED IMPORTED_TARGET lzo2)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)
