# Installation and packages: cmake --install, then cpack for Debian
# packages (Linux) or a ZIP (Windows). Components: program (the command,
# its man page and documents), runtime (libdorvex.so.0), dev (dorvex.h,
# libdorvex.a, pkg-config and CMake packages), python (the module),
# licence (LICENSE, for a plain install), and the .debs' own files, which
# a plain install leaves out: the copyright and changelog of each package,
# the program's lintian override, the module in Debian's dist-packages.
# The .debs: dorvex (the program), libdorvex0, libdorvex-dev and
# python3-dorvex.
set(CPACK_PACKAGE_NAME dorvex)
set(CPACK_PACKAGE_VENDOR "The Dorvex authors")
# (each .deb's first description line is its own summary, so CPack's
# common one is set for the ZIP alone)
set(summary
  "convert a crystal lattice between direct cell, reciprocal cell and metric form")
set(CPACK_STRIP_FILES ON)

# The version comes from dorvex.h; its number there must say the same, and
# the changelog's newest entry must be this version's.
math(EXPR number "${PROJECT_VERSION_MAJOR} * 1000000 + ${PROJECT_VERSION_MINOR} * 1000 + ${PROJECT_VERSION_PATCH}")
foreach(check "include/dorvex.h|^#define DORVEX_VERSION_NUMBER ${number}$"
    "packaging/changelog|^dorvex \\(${PROJECT_VERSION}\\) ")
  string(REPLACE "|" ";" check "${check}")
  list(GET check 0 file)
  list(GET check 1 pattern)
  file(STRINGS ${PROJECT_SOURCE_DIR}/${file} found REGEX "${pattern}")
  if(NOT found)
    message(FATAL_ERROR "${file} does not say version ${PROJECT_VERSION}")
  endif()
endforeach()
# The man page and the user's README carry it where they are installed.
file(READ man/dorvex.1 man)
string(REGEX REPLACE "\n\\.Os Dorvex\n" "\n.Os Dorvex ${PROJECT_VERSION}\n" man "${man}")
file(CONFIGURE OUTPUT dorvex.1 CONTENT "${man}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/man/dorvex.1)
configure_file(packaging/README.user README.user @ONLY)

if(WIN32)
  # dorvex.exe with its README and licence, as Windows users open them:
  # written for Windows, with CR LF line ends.
  configure_file(packaging/README.windows README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt
    DESTINATION .)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${summary}")
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME dorvex-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

# Debian wants the man page and the changelog compressed, reproducibly.
set(gz ${PROJECT_BINARY_DIR}/gz)
foreach(pair "${PROJECT_BINARY_DIR}/dorvex.1|dorvex.1.gz"
    "${PROJECT_SOURCE_DIR}/packaging/changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 src)
  list(GET pair 1 out)
  add_custom_command(OUTPUT ${gz}/${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gz}
    COMMAND gzip -9n -c ${src} > ${gz}/${out}
    DEPENDS ${src} VERBATIM)
  list(APPEND gz_files ${gz}/${out})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${gz_files})

install(FILES ${gz}/dorvex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
  COMPONENT program)
install(FILES ${gz}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR}
  COMPONENT program)
install(FILES ${PROJECT_BINARY_DIR}/README.user DESTINATION ${CMAKE_INSTALL_DOCDIR}
  RENAME README COMPONENT program)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT licence)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR}
  COMPONENT debian EXCLUDE_FROM_ALL)
# Each library package's documents, as Debian wants them in its own folder.
foreach(pair "runtime|libdorvex${PROJECT_VERSION_MAJOR}" "dev|libdorvex-dev"
    "python|python3-dorvex")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES packaging/copyright ${gz}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
    COMPONENT deb_${component} EXCLUDE_FROM_ALL)
endforeach()
foreach(pair "runtime|libdorvex0" "dev|libdorvex-dev")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES packaging/${package}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${package}
    COMPONENT deb_${component} EXCLUDE_FROM_ALL)
endforeach()
if(DORVEX_LINK STREQUAL "static PIE")
  install(FILES packaging/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME dorvex
    COMPONENT debian EXCLUDE_FROM_ALL)
endif()

# The library: both archives, the header, and how to find them: pkg-config
# and find_package(dorvex), both relative to where they are installed.
install(TARGETS dorvex_shared LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  COMPONENT runtime NAMELINK_COMPONENT dev)
install(FILES ${DORVEX_STATIC_LIBRARY} DESTINATION ${CMAKE_INSTALL_LIBDIR}
  COMPONENT dev)
install(FILES include/dorvex.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT dev)
file(RELATIVE_PATH DORVEX_PC_PREFIX
  /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
file(RELATIVE_PATH DORVEX_CMAKE_PREFIX
  /root/${CMAKE_INSTALL_LIBDIR}/cmake/dorvex /root)
string(REGEX REPLACE "/$" "" DORVEX_PC_PREFIX "${DORVEX_PC_PREFIX}")
string(REGEX REPLACE "/$" "" DORVEX_CMAKE_PREFIX "${DORVEX_CMAKE_PREFIX}")
configure_file(packaging/dorvex.pc.in dorvex.pc @ONLY)
configure_file(packaging/dorvexConfig.cmake.in dorvexConfig.cmake @ONLY)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(dorvexConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/dorvex.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
install(FILES ${PROJECT_BINARY_DIR}/dorvexConfig.cmake
  ${PROJECT_BINARY_DIR}/dorvexConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/dorvex COMPONENT dev)

# What an install needs built: the program preset builds this.
add_custom_target(installable DEPENDS dorvex compressed_docs dorvex_shared
  dorvex_static)
if(TARGET dorvex_python)
  add_dependencies(installable dorvex_python)
endif()

# The .deb is dated by the last commit unless SOURCE_DATE_EPOCH says
# otherwise, so that two builds of one commit give the same bytes.
execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
  OUTPUT_VARIABLE DORVEX_COMMIT_TIME OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_QUIET RESULT_VARIABLE git_failed)
if(git_failed OR NOT DORVEX_COMMIT_TIME)
  string(TIMESTAMP DORVEX_COMMIT_TIME "%s")  # no history: now, as before
endif()
configure_file(packaging/cpack-options.cmake.in cpack-options.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-options.cmake)

set(CPACK_GENERATOR DEB)
set(DORVEX_MAINTAINER "The Dorvex authors <authors@dorvex.org>" CACHE STRING
  "Maintainer field of the Debian packages")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DORVEX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SOURCE dorvex)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
set(lib libdorvex${PROJECT_VERSION_MAJOR})
set(version_dep "(= ${PROJECT_VERSION})")

# One package per group: its components, its name, section and words.
set(CPACK_COMPONENTS_ALL program debian runtime deb_runtime dev deb_dev)
set(CPACK_COMPONENT_PROGRAM_GROUP program)
set(CPACK_COMPONENT_DEBIAN_GROUP program)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME dorvex)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
  "${summary}\nInteractive console program: choose a description, type six numbers,\nget the direct cell, the reciprocal cell (2 pi convention) and the\nmetric-form coefficients A-F in a fixed text report.")
if(DORVEX_LINK STREQUAL "dynamic")
  set(CPACK_DEBIAN_PROGRAM_PACKAGE_SHLIBDEPS ON)
endif()

set(CPACK_COMPONENT_RUNTIME_GROUP runtime)
set(CPACK_COMPONENT_DEB_RUNTIME_GROUP runtime)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${lib})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
  "crystal lattice conversions with the dorvex program's digits (library)\nConverts a crystal lattice between its direct cell, its reciprocal cell\n(2 pi convention) and the metric form of 1/d^2, giving the same doubles\nand the same report text as the dorvex program.\n.\nThis package holds the shared library.")
# shlibs and the ldconfig trigger, as Debian wants of a shared library
# (CPack's own postinst and postrm would call ldconfig instead)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/libdorvex0/triggers
  ${PROJECT_SOURCE_DIR}/packaging/libdorvex0/postinst
  ${PROJECT_SOURCE_DIR}/packaging/libdorvex0/postrm)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_COMPONENT_DEV_GROUP dev)
set(CPACK_COMPONENT_DEB_DEV_GROUP dev)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libdorvex-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${lib} ${version_dep}")
set(CPACK_DEBIAN_DEV_DESCRIPTION
  "crystal lattice conversions with the dorvex program's digits (development)\nConverts a crystal lattice between its direct cell, its reciprocal cell\n(2 pi convention) and the metric form of 1/d^2, giving the same doubles\nand the same report text as the dorvex program.\n.\nThis package holds the header dorvex.h, the static library and the\npkg-config and CMake files.")

if(TARGET dorvex_python)
  # Debian's python3 looks in dist-packages; a plain install puts the
  # module in the prefix's site-packages instead.
  install(TARGETS dorvex_python LIBRARY
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/python3/dist-packages
    COMPONENT deb_python EXCLUDE_FROM_ALL)
  list(APPEND CPACK_COMPONENTS_ALL deb_python)
  set(CPACK_COMPONENT_DEB_PYTHON_GROUP python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-dorvex)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SHLIBDEPS ON)
  set(next "${DORVEX_PYTHON_MAJOR}.${DORVEX_PYTHON_NEXT_MINOR}")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3 (>= ${DORVEX_PYTHON_VERSION}), python3 (<< ${next}), python3-numpy")
  set(CPACK_DEBIAN_PYTHON_DESCRIPTION
    "crystal lattice conversions with the dorvex program's digits (Python 3)\nConverts a crystal lattice between its direct cell, its reciprocal cell\n(2 pi convention) and the metric form of 1/d^2, giving the same doubles\nand the same report text as the dorvex program.\n.\nThis package holds the Python 3 module dorvex.")
endif()
include(CPack)
