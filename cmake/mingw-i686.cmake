# The shipped 32-bit Windows build. These machines cannot run i686 code, so
# nothing built here is ever executed: it is compiled and linked only.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
