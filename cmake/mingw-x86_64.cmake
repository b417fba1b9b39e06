# Cross build for 64-bit Windows with mingw-w64, for a machine whose Wine
# runs 64-bit code alone: the silent-install bench
# (scripts/bench-install --silent --x64) and the end-to-end cases by hand
# (scripts/e2e build/win64, with PW_WINE_ARCH=win64). It builds the two
# programs and the test tools from the same source, with the compiler's
# own start-up code and runtime; the product is the 32-bit build
# (mingw-i686.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
if(PELLWICK_POSIX_THREADS)
  set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
  set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
else()
  set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc)
  set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++)
endif()
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
