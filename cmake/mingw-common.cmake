# The cross build with mingw-w64 for the target a toolchain file names in
# PELLWICK_MINGW_ARCH (i686 or x86_64) before it includes this file.
# -DPELLWICK_POSIX_THREADS=ON picks the posix-thread compiler, which the
# test exes need for GoogleTest; the programs use the default one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${PELLWICK_MINGW_ARCH})
set(PELLWICK_MINGW ${PELLWICK_MINGW_ARCH}-w64-mingw32)
if(PELLWICK_POSIX_THREADS)
  set(CMAKE_C_COMPILER ${PELLWICK_MINGW}-gcc-posix)
  set(CMAKE_CXX_COMPILER ${PELLWICK_MINGW}-g++-posix)
else()
  set(CMAKE_C_COMPILER ${PELLWICK_MINGW}-gcc)
  set(CMAKE_CXX_COMPILER ${PELLWICK_MINGW}-g++)
endif()
set(CMAKE_RC_COMPILER ${PELLWICK_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PELLWICK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
