# Installation of kxli: public headers under include/kxli, the two shared
# libraries with their SONAME, the kxmsg tool, a relocatable CMake package
# (find_package(kxli CONFIG) gives kxli::kxli and kxli::kxecs), a
# relocatable pkg-config file, the Python package kxli when it is built,
# and a Debian package through CPack (`cpack -G DEB` in the build directory).
#
# Included at the end of the top-level CMakeLists.txt, after every target
# exists.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KXLI_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/kxli)
set(KXLI_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/kxli)

# The interface version: the SONAME carries the major version, so a
# program built against 1.x runs with every later 1.y.
set_target_properties(kxli kxecs PROPERTIES VERSION ${PROJECT_VERSION}
                                            SOVERSION ${PROJECT_VERSION_MAJOR})
# libkxli finds libkxecs beside itself, wherever the pair is installed.
set_target_properties(kxli PROPERTIES INSTALL_RPATH "$ORIGIN")

target_include_directories(kxecs PUBLIC $<INSTALL_INTERFACE:${KXLI_INSTALL_INCLUDEDIR}>)
target_include_directories(kxli PUBLIC $<INSTALL_INTERFACE:${KXLI_INSTALL_INCLUDEDIR}>)
# The public headers use C++17 (inline variables): consumers get it too.
target_compile_features(kxli PUBLIC cxx_std_17)

# Every public header. The field idioms, the trace scope and the library
# state behind the entry point are internal and stay out.
set(KXLI_PUBLIC_HEADERS
    kxlexp.hpp kxlcodes.hpp kxlerr.hpp kxltrc.hpp kxlsem.hpp kxlmain.hpp kxlrec.hpp
    kxlitm.hpp kxlhdr.hpp kxlpfx.hpp kxlcac.hpp kxlmtr.hpp kxlmsg.hpp kxlstr.hpp
    kxlbin.hpp kxldlh.hpp kxlvih.hpp kxloih.hpp kxlwih.hpp kxlrfh.hpp kxltrg.hpp
    kxlgmo2.hpp kxlgmo.hpp kxlchl.hpp kxli.hpp)
list(TRANSFORM KXLI_PUBLIC_HEADERS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/lib/kxli/)
install(FILES ${KXLI_PUBLIC_HEADERS} ${CMAKE_CURRENT_SOURCE_DIR}/lib/kxecs/kxecs.h
        DESTINATION ${KXLI_INSTALL_INCLUDEDIR})

install(TARGETS kxli kxecs EXPORT kxliTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Unspecified
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

if(TARGET kxmsg)
  # The tool finds the libraries relative to itself, so it runs from any
  # prefix without a library path.
  file(RELATIVE_PATH kxli_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(kxmsg PROPERTIES INSTALL_RPATH "$ORIGIN/${kxli_bin_to_lib}")
  install(TARGETS kxmsg RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(EXPORT kxliTargets NAMESPACE kxli:: DESTINATION ${KXLI_INSTALL_CMAKEDIR})
configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/kxliConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/kxliConfig.cmake
  INSTALL_DESTINATION ${KXLI_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/kxliConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kxliConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/kxliConfigVersion.cmake
        DESTINATION ${KXLI_INSTALL_CMAKEDIR})

# pkg-config: the prefix is found from where kxli.pc lies, so the file is
# right in every prefix the project is installed or packaged into.
file(RELATIVE_PATH KXLI_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" KXLI_PC_TO_PREFIX "${KXLI_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/kxli.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kxli.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kxli.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The Python package kxli goes where the interpreter it was built for looks
# for packages under the prefix installed to: lib/python3/dist-packages under
# a prefix that ends in /usr on Debian (/usr itself, or where CPack stages the
# Debian package's /usr), else the interpreter's own scheme
# (lib/python3.11/dist-packages on Debian, lib/python3.11/site-packages
# elsewhere), or KXL_PYTHON_INSTALL_DIR when set. The prefix is known only at
# install time (cmake --install --prefix, CPack), so the choice is made then.
if(TARGET _kxli)
  list(TRANSFORM KXL_PYTHON_FILES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/python/kxli/
       OUTPUT_VARIABLE kxl_python_sources)
  install(CODE "
    set(kxl_python_dir \"${KXL_PYTHON_INSTALL_DIR}\")
    set(kxl_python_debian ${KXL_PYTHON_DEBIAN})
    if(kxl_python_dir STREQUAL \"\")
      if(CMAKE_INSTALL_PREFIX MATCHES \"(^|/)usr/?$\" AND kxl_python_debian)
        set(kxl_python_dir lib/python3/dist-packages)
      else()
        set(kxl_python_dir ${KXL_PYTHON_PREFIX_DIR})
      endif()
    endif()
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/\${kxl_python_dir}/kxli\" TYPE FILE
         FILES ${kxl_python_sources})
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/\${kxl_python_dir}/kxli\" TYPE MODULE
         FILES \"$<TARGET_FILE:_kxli>\")")
endif()

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.md")

# Debian package: `cpack -G DEB` gives kxli_<version>_<arch>.deb, installed
# under /usr. Its dependencies are worked out from the binaries.
set(CPACK_PACKAGE_NAME kxli)
set(CPACK_PACKAGE_VENDOR "kxli developers")
set(CPACK_PACKAGE_CONTACT "kxli developers <kxli@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "C++ class library for building and taking apart message contents")
set(CPACK_PACKAGE_DESCRIPTION
    "kxli builds and takes apart the contents of messages of a message-queuing\
 system: a message buffer with its descriptor record, the headers that chain\
 in front of message data, trigger messages, text and byte-string values,\
 get-message options and client channel definitions. The package holds the\
 shared libraries, the headers, the CMake and pkg-config files and the kxmsg\
 tool.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET _kxli)
  string(APPEND CPACK_PACKAGE_DESCRIPTION
         "\n The Python package kxli, for Python ${KXL_PYTHON_VERSION}, is part of it.")
  # The Python package is for one version of the interpreter.
  string(REPLACE "." ";" kxl_python_version "${KXL_PYTHON_VERSION}")
  list(GET kxl_python_version 1 kxl_python_minor)
  math(EXPR kxl_python_next "${kxl_python_minor} + 1")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
      "python3 (>= ${KXL_PYTHON_VERSION}), python3 (<< 3.${kxl_python_next})")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
