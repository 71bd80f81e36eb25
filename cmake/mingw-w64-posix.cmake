# Cross build for 64-bit Windows with Debian's mingw-w64 in its posix thread model: the win32
# model has no std::mutex, which QtTest needs, and everything that links the Qt DLLs must share
# their libstdc++-6.dll.
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake \
#         -DCORVANE_QT5_MINGW_PREFIX=<Qt prefix for Windows>
# The prefix may also come from the environment variable of the same name.
if(NOT CORVANE_QT5_MINGW_PREFIX AND DEFINED ENV{CORVANE_QT5_MINGW_PREFIX})
    set(CORVANE_QT5_MINGW_PREFIX "$ENV{CORVANE_QT5_MINGW_PREFIX}")
endif()
if(NOT CORVANE_QT5_MINGW_PREFIX)
    message(FATAL_ERROR "CORVANE_QT5_MINGW_PREFIX names no Qt prefix for Windows "
                        "(tools/windows/qt5-mingw-prefix.sh makes one)")
endif()
# try_compile projects read this file again and need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CORVANE_QT5_MINGW_PREFIX)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The prefix's CMake files locate everything relative to themselves, so it works wherever it
# was unpacked, whatever qmake's built-in paths say.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CORVANE_QT5_MINGW_PREFIX})
set(CMAKE_PREFIX_PATH ${CORVANE_QT5_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
