# Cross build for 64-bit Windows with mingw-w64, for a machine whose Wine
# runs 64-bit code alone: the silent-install bench
# (scripts/bench-install --silent --x64) and the end-to-end cases by hand
# (scripts/e2e build/win64, with PW_WINE_ARCH=win64). It builds the two
# programs and the test tools from the same source, with the compiler's
# own start-up code and runtime; the product is the 32-bit build
# (mingw-i686.cmake).
set(PELLWICK_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
