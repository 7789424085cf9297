# Cross build of the shipped programs for 32-bit Windows with Debian's mingw-w64.
# The -win32 thread-model compilers: the -posix ones link the winpthreads runtime in
# statically, which imports GetTickCount64 (Vista), AddVectoredExceptionHandler (XP) and
# NT-only calls, and Windows 98, Me, 2000 and XP then refuse to load the program.
# The GoogleTest programs need std::mutex and are built with the -posix compilers instead
# (toolchain-i686-mingw-posix.cmake); they are never shipped.
set(SLOT_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686-common.cmake)
