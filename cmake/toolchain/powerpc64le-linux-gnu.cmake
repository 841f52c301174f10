set(cross_triple powerpc64le-linux-gnu)
set(cross_processor ppc64le)
set(cross_qemu qemu-ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/../linux-cross.cmake)
