# ARMv5TE, soft float: Debian's armel, the phone's own processor class.
# Built against a sysroot of Debian's armel packages (scripts/cross-build.sh
# makes it), since armel libraries cannot sit beside the host's own.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR armv5te)
set(CMAKE_C_COMPILER arm-linux-gnueabi-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabi-g++)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabi)

if(NOT TARRAGON_SYSROOT)
    get_filename_component(TARRAGON_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../local/sysroot-armel" ABSOLUTE)
endif()
set(CMAKE_SYSROOT "${TARRAGON_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH "${TARRAGON_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The sysroot's Qt would run its own armel moc; the host's tools serve.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
