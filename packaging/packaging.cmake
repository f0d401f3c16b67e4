# What turns the build into something a user installs: the version the
# program reports, the install rules and the packages.
include(GNUInstallDirs)

# --version: the project's version and, from a checkout, the commit. The
# header is remade at every build; it changes only when the commit does.
set(TDP_BUILD_INFO_DIR ${PROJECT_BINARY_DIR}/generated)
add_custom_target(tdp_build_info
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DTEMPLATE=${CMAKE_CURRENT_LIST_DIR}/build_info.h.in
          -DOUTPUT=${TDP_BUILD_INFO_DIR}/build_info.h -DTDP_VERSION=${PROJECT_VERSION}
          -P ${CMAKE_CURRENT_LIST_DIR}/build_info.cmake
  BYPRODUCTS ${TDP_BUILD_INFO_DIR}/build_info.h
  COMMENT "Stamping the version"
  VERBATIM)
add_dependencies(3dpoint tdp_build_info)
target_include_directories(3dpoint PRIVATE ${TDP_BUILD_INFO_DIR})

install(TARGETS 3dpoint RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(WIN32)
  # Windows has no manual pages: the ZIP carries the README, with the line
  # ends Notepad of every version shows, beside bin\; the help points to it.
  file(READ ${PROJECT_SOURCE_DIR}/README.md tdp_readme)
  string(REPLACE "\n" "\r\n" tdp_readme "${tdp_readme}")
  file(WRITE ${CMAKE_BINARY_DIR}/README.txt "${tdp_readme}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/docs/3dpoint.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
# The program links the compiler's run-time statically: no DLLs go beside it.

set(CPACK_PACKAGE_NAME 3dpoint)
set(CPACK_PACKAGE_VENDOR "3dpoint")
set(CPACK_PACKAGE_CONTACT "3dpoint maintainers <maintainers@3dpoint.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert a list of 3-D points into a DXF drawing")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY 3dpoint)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES OFF)  # the traceback's lines come from the debug information

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_PACKAGE_DESCRIPTION
  "3dpoint reads a count and the x, y and z of each point in free form and\nwrites an ASCII DXF file with one POINT entity per point.")
# The shared libraries the program links (the unwinder among them) become
# the package's dependencies; libdw is opened only when a traceback wants
# line numbers, so it is recommended rather than required.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libdw1")

include(CPack)
