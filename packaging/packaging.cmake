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
  # Windows has no manual pages: the ZIP carries a README of its own beside
  # bin\, the licence and the samples, every text in CR LF, which Notepad of
  # every version shows, and in ASCII, which every code page spells alike.
  function(tdp_windows_text source name)
    file(READ ${source} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${CMAKE_BINARY_DIR}/windows/${name} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  endfunction()
  tdp_windows_text(${CMAKE_CURRENT_LIST_DIR}/windows/README.txt README.txt)
  tdp_windows_text(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt)
  tdp_windows_text(${PROJECT_SOURCE_DIR}/examples/input.txt samples/input.txt)
  tdp_windows_text(${PROJECT_SOURCE_DIR}/examples/survey.csv samples/survey.csv)
  tdp_windows_text(${PROJECT_SOURCE_DIR}/examples/coded.csv samples/coded.csv)
  install(FILES ${CMAKE_BINARY_DIR}/windows/README.txt ${CMAKE_BINARY_DIR}/windows/LICENSE.txt DESTINATION .)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/windows/samples DESTINATION .)

  # The version resource: file and product version and a description, for
  # the program's Properties.
  enable_language(RC)
  string(REGEX MATCH "^[0-9]+\\.([0-9]+)(\\.([0-9]+))?" tdp_version_parts ${PROJECT_VERSION})
  set(TDP_VERSION_MINOR ${CMAKE_MATCH_1})
  set(TDP_VERSION_PATCH 0)
  if(CMAKE_MATCH_3)
    set(TDP_VERSION_PATCH ${CMAKE_MATCH_3})
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/version.rc.in ${TDP_BUILD_INFO_DIR}/version.rc @ONLY)
  target_sources(3dpoint PRIVATE ${TDP_BUILD_INFO_DIR}/version.rc)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/docs/3dpoint.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # The licence as Debian keeps it, in the machine-readable copyright format
  # (Debian calls the MIT licence Expat); the samples beside it.
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE tdp_license)
  string(REGEX REPLACE "^MIT License\n\n[^\n]*\n\n" "" tdp_license "${tdp_license}")
  string(REGEX REPLACE "\n$" "" tdp_license "${tdp_license}")
  string(REGEX REPLACE "\n\n" "\n.\n" tdp_license "${tdp_license}")
  string(REGEX REPLACE "\n" "\n " tdp_license "${tdp_license}")
  file(WRITE ${CMAKE_BINARY_DIR}/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: 3dpoint\n\n"
    "Files: *\n"
    "Copyright: 2026 the 3dpoint authors\n"
    "License: Expat\n"
    " ${tdp_license}\n")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/examples/input.txt ${PROJECT_SOURCE_DIR}/examples/survey.csv
                ${PROJECT_SOURCE_DIR}/examples/coded.csv DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
endif()
# The program links the compiler's run-time statically: no DLLs go beside it.

set(CPACK_PACKAGE_NAME 3dpoint)
set(CPACK_PACKAGE_VENDOR "3dpoint")
set(CPACK_PACKAGE_CONTACT "3dpoint maintainers <maintainers@3dpoint.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert a list of 3-D points into a DXF drawing")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY 3dpoint)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
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
