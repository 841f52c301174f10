set(cross_triple s390x-linux-gnu)
set(cross_processor s390x)
set(cross_qemu qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/../linux-cross.cmake)
