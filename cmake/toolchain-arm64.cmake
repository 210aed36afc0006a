# 64-bit ARM (Debian's arm64), from Debian's multiarch packages.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TARRAGON_TRIPLET aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/multiarch.cmake)
