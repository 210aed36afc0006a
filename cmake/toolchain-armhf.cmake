# ARMv7 with hardware floating point (Debian's armhf), from Debian's
# multiarch packages.
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(TARRAGON_TRIPLET arm-linux-gnueabihf)
include(${CMAKE_CURRENT_LIST_DIR}/multiarch.cmake)
