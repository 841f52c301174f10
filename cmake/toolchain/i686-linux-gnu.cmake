set(cross_triple i686-linux-gnu)
set(cross_processor i686)
set(cross_qemu qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/../linux-cross.cmake)
