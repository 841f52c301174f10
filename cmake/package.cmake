# Installation and packages: cmake --install, then cpack for a Debian
# package (Linux) or a ZIP (Windows).
set(CPACK_PACKAGE_NAME dorvex)
set(CPACK_PACKAGE_VENDOR "The Dorvex authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "convert a crystal lattice between direct cell, reciprocal cell and metric form")
set(CPACK_STRIP_FILES ON)

# The man page, the changelog and the user's README carry the version too;
# keep them in step.
foreach(check "man/dorvex.1|^\\.Os Dorvex ${PROJECT_VERSION}$"
    "packaging/changelog|^dorvex \\(${PROJECT_VERSION}\\) "
    "packaging/README.user|^Dorvex ${PROJECT_VERSION}$")
  string(REPLACE "|" ";" check "${check}")
  list(GET check 0 file)
  list(GET check 1 pattern)
  file(STRINGS ${PROJECT_SOURCE_DIR}/${file} found REGEX "${pattern}")
  if(NOT found)
    message(FATAL_ERROR "${file} does not name version ${PROJECT_VERSION}")
  endif()
endforeach()

if(WIN32)
  # dorvex.exe with its README and licence, as Windows users open them.
  install(FILES packaging/README.user DESTINATION . RENAME README.txt)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME dorvex-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

# Debian wants the man page and the changelog compressed, reproducibly.
set(gz ${PROJECT_BINARY_DIR}/gz)
foreach(pair "man/dorvex.1|dorvex.1.gz" "packaging/changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 src)
  list(GET pair 1 out)
  add_custom_command(OUTPUT ${gz}/${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gz}
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/${src} > ${gz}/${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/${src} VERBATIM)
  list(APPEND gz_files ${gz}/${out})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${gz_files})

install(FILES ${gz}/dorvex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${gz}/changelog.gz packaging/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES packaging/README.user DESTINATION ${CMAKE_INSTALL_DOCDIR}
  RENAME README)
if(DORVEX_LINK STREQUAL "static PIE")
  install(FILES packaging/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME dorvex)
endif()

set(CPACK_GENERATOR DEB)
set(DORVEX_MAINTAINER "The Dorvex authors <authors@dorvex.org>" CACHE STRING
  "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DORVEX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Interactive console program: choose a description, type six numbers,\nget the direct cell, the reciprocal cell (2 pi convention) and the\nmetric-form coefficients A-F in a fixed text report.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
if(DORVEX_LINK STREQUAL "dynamic")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
