set(cross_triple arm-linux-gnueabihf)
set(cross_processor arm)
set(cross_qemu qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/../linux-cross.cmake)
