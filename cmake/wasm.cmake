# The WebAssembly build's two products: the web page (static files, the
# program inside as base64) and the npm package of the `dorvex` command.
find_program(NODE node REQUIRED)
add_custom_target(web ALL
  COMMAND ${NODE} ${PROJECT_SOURCE_DIR}/web/embed.mjs $<TARGET_FILE:dorvex>
    ${PROJECT_BINARY_DIR}/web
  DEPENDS dorvex ${PROJECT_SOURCE_DIR}/web/index.html
    ${PROJECT_SOURCE_DIR}/web/dorvex.css ${PROJECT_SOURCE_DIR}/web/dorvex-page.js
  VERBATIM)

set(npm ${PROJECT_BINARY_DIR}/npm)
configure_file(packaging/npm/package.json.in ${npm}/package.json @ONLY)
add_custom_target(npm_package ALL
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:dorvex> ${npm}/dorvex.wasm
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/npm/dorvex.mjs
    ${PROJECT_SOURCE_DIR}/packaging/npm/index.mjs
    ${PROJECT_SOURCE_DIR}/packaging/npm/index.d.ts ${npm}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/README.user
    ${npm}/README
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${npm}/LICENSE
  DEPENDS dorvex ${PROJECT_SOURCE_DIR}/packaging/npm/dorvex.mjs
    ${PROJECT_SOURCE_DIR}/packaging/npm/index.mjs
    ${PROJECT_SOURCE_DIR}/packaging/npm/index.d.ts VERBATIM)
