# Toolchain for the Windows build with mingw-w64 (x86_64-w64-mingw32): wfal.dll, acq.dll and
# wfal-host.exe. scripts/build-windows configures build-windows/ with it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WFAL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WFAL_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${WFAL_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${WFAL_MINGW_PREFIX}-windres)

# Headers and libraries come from the cross environment only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${WFAL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
