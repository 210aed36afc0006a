# Cross builds against Debian's multiarch packages: the foreign libraries
# and Qt's CMake files live beside the host's, under /usr/lib/TRIPLET, and
# Qt's files name the host's moc. Included by the toolchain files, which
# set TARRAGON_TRIPLET and the processor.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TARRAGON_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TARRAGON_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${TARRAGON_TRIPLET})
set(PKG_CONFIG_EXECUTABLE ${TARRAGON_TRIPLET}-pkg-config)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
