# WebAssembly (WASI preview 1) with clang 14, Debian's wasi-libc and its
# wasm32 libc++ (wasi-libc, libc++-14-dev-wasm32, libclang-rt-14-dev-wasm32,
# lld-14). Programs run under Node (tests/wasi-run.mjs).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_SYSROOT /usr)
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--strip-all -Wl,-z,stack-size=1048576")
set(CMAKE_CROSSCOMPILING_EMULATOR
  node ${CMAKE_CURRENT_LIST_DIR}/../../tests/wasi-run.mjs)
