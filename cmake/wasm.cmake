# The WebAssembly build's two products: the web page (one file, the
# program inside as base64) and the npm package (the `dorvex` command and
# the JavaScript API), both around the same .wasm and dorvex-api.js.
find_program(NODE node REQUIRED)
set(npm ${PROJECT_BINARY_DIR}/npm)
set(web_sources index.html dorvex.css dorvex-api.js dorvex-api-more.js
  words.js terminal.js
  picture.js form.js console.js reflections.js dorvex-page.js embed.mjs)
list(TRANSFORM web_sources PREPEND ${PROJECT_SOURCE_DIR}/web/)
add_custom_target(web ALL
  COMMAND ${NODE} ${PROJECT_SOURCE_DIR}/web/embed.mjs $<TARGET_FILE:dorvex>
    ${PROJECT_BINARY_DIR}/web ${npm}
  DEPENDS dorvex ${web_sources} ${PROJECT_SOURCE_DIR}/packaging/npm/index.mjs
  VERBATIM)

configure_file(packaging/npm/package.json.in ${npm}/package.json @ONLY)
set(npm_sources dorvex.mjs index.d.ts README.md)
list(TRANSFORM npm_sources PREPEND ${PROJECT_SOURCE_DIR}/packaging/npm/)
add_custom_target(npm_package ALL
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:dorvex> ${npm}/dorvex.wasm
  COMMAND ${CMAKE_COMMAND} -E copy ${npm_sources} ${npm}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${npm}/LICENSE
  DEPENDS dorvex web ${npm_sources} VERBATIM)
