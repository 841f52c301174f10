set(cross_triple aarch64-linux-gnu)
set(cross_processor aarch64)
set(cross_qemu qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/../linux-cross.cmake)
