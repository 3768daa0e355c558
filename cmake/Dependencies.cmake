# TinyXML and GoogleTest for both build trees. The host uses Debian's
# packages; the Windows tree compiles the same sources with the cross
# compiler (TinyXML from Debian's source package, which carries its
# security patches).
if(WIN32)
  set(TINYXML_SOURCE_DIR "" CACHE PATH "Unpacked Debian tinyxml source (tools/setup)")
  if(NOT EXISTS "${TINYXML_SOURCE_DIR}/tinyxmlparser.cpp")
    message(FATAL_ERROR "TINYXML_SOURCE_DIR does not hold the tinyxml source; run tools/setup")
  endif()
  add_library(tinyxml STATIC
    ${TINYXML_SOURCE_DIR}/tinyxml.cpp
    ${TINYXML_SOURCE_DIR}/tinyxmlparser.cpp
    ${TINYXML_SOURCE_DIR}/tinyxmlerror.cpp
    ${TINYXML_SOURCE_DIR}/tinystr.cpp)
  target_include_directories(tinyxml SYSTEM PUBLIC ${TINYXML_SOURCE_DIR})
  target_compile_definitions(tinyxml PUBLIC TIXML_USE_STL)
  target_compile_options(tinyxml PRIVATE -w)

  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
  find_library(TINYXML_LIBRARY tinyxml REQUIRED)
  add_library(tinyxml INTERFACE)
  target_include_directories(tinyxml SYSTEM INTERFACE ${TINYXML_INCLUDE_DIR})
  target_link_libraries(tinyxml INTERFACE ${TINYXML_LIBRARY})
  target_compile_definitions(tinyxml INTERFACE TIXML_USE_STL)
  find_package(GTest REQUIRED)
endif()

# nlohmann-json (header-only) for the DevTools protocol's messages, from
# Debian's nlohmann-json3-dev in both trees. The cross compiler must not be
# given the host's whole /usr/include (glibc's headers would shadow
# mingw's), so the build tree holds an include folder with nothing but a
# link to the library's own folder, and both trees use that.
set(NLOHMANN_JSON_INCLUDE_ROOT "/usr/include" CACHE PATH
    "Folder whose nlohmann/ holds json.hpp (Debian nlohmann-json3-dev)")
if(NOT EXISTS "${NLOHMANN_JSON_INCLUDE_ROOT}/nlohmann/json.hpp")
  message(FATAL_ERROR "no nlohmann/json.hpp below NLOHMANN_JSON_INCLUDE_ROOT; run tools/setup")
endif()
set(nlohmann_json_include "${CMAKE_BINARY_DIR}/include-nlohmann")
file(MAKE_DIRECTORY "${nlohmann_json_include}")
file(CREATE_LINK "${NLOHMANN_JSON_INCLUDE_ROOT}/nlohmann" "${nlohmann_json_include}/nlohmann" SYMBOLIC)
add_library(nlohmann_json_headers INTERFACE)
target_include_directories(nlohmann_json_headers SYSTEM INTERFACE "${nlohmann_json_include}")
