# Installation and packages: cmake --install, and cpack for the .deb.
install(FILES man/dorvex.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dorvex)
set(CPACK_PACKAGE_CONTACT "Dorvex developers <dorvex@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "convert a crystal lattice between direct cell, reciprocal cell and metric form")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Interactive console program: choose a description, type six numbers,\nget the direct cell, the reciprocal cell (2 pi convention) and the\nmetric-form coefficients A-F in a fixed text report.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
if(DORVEX_LINK STREQUAL "dynamic")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
