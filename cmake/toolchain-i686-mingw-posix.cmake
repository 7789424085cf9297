# Cross build of the Windows test programs (GoogleTest needs std::mutex, which only the
# -posix thread-model compilers have). Nothing built with it is shipped.
set(SLOT_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686-common.cmake)
