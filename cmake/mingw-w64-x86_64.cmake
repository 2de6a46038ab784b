# Cross-build for 64-bit Windows with Debian's mingw-w64 compilers, posix thread model
# (package g++-mingw-w64-x86-64-posix). Every binary carries its own copy of the compiler runtime
# (libgcc, libstdc++, winpthread), so the DLLs and the .exe need nothing beyond the system's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUMARO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUMARO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMARO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMARO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMARO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static makes the linker take libwinpthread.a rather than its import library; libgcc and libstdc++ are
# named as well so the intent survives a change of the flag set. System DLLs (KERNEL32, msvcrt, SHELL32)
# have import libraries only and stay dynamic.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
