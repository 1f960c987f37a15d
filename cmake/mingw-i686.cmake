# The shipped 32-bit Windows build; its tests run under 32-bit Wine, which
# these machines run through qemu-i386 user-mode emulation.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
