# Cross builds for Linux with Debian's cross compilers (crossbuild-essential-*);
# programs and tests built here run under qemu-user. Included by the files
# in cmake/toolchain/, which set cross_triple, cross_processor and cross_qemu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${cross_processor})
if(NOT CMAKE_CXX_COMPILER)
  set(CMAKE_C_COMPILER ${cross_triple}-gcc)
  set(CMAKE_CXX_COMPILER ${cross_triple}-g++)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${cross_qemu} -L /usr/${cross_triple})
set(CMAKE_FIND_ROOT_PATH /usr/${cross_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
