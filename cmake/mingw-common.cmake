# Shared part of the MinGW-w64 toolchain files: posix thread model, static runtime,
# and Wine as the emulator so that ctest runs the Windows tests on Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${KDESK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KDESK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${KDESK_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KDESK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
# The prefix lives in the build tree, never in the user's ~/.wine.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${KDESK_WINE_LOADER} ${CMAKE_BINARY_DIR}/wineprefix)
