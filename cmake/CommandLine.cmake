# The tools' command lines: CLI11 (Debian's libcli11-dev, header-only) and the version --version prints.
# CLI11's headers are copied into an include folder of the build that holds them alone, so that the mingw-w64
# cross-build can use them without the build machine's /usr/include, and its other headers, on its path.
find_path(LUMARO_CLI11_INCLUDE CLI/CLI.hpp NO_CMAKE_FIND_ROOT_PATH)
if(NOT LUMARO_CLI11_INCLUDE)
  message(FATAL_ERROR "lumaro-ghost and lumaro-host read their command lines with CLI11: apt-get install libcli11-dev")
endif()
file(GLOB lumaro_cli11_headers ${LUMARO_CLI11_INCLUDE}/CLI/*.hpp)
file(COPY ${lumaro_cli11_headers} DESTINATION ${CMAKE_BINARY_DIR}/cli11/CLI)

# The version is project()'s, written into a header of the build for the tools to print.
configure_file(${PROJECT_SOURCE_DIR}/tools/commandline/ToolVersion.h.in
               ${CMAKE_BINARY_DIR}/generated/tools/commandline/ToolVersion.h @ONLY)

add_library(lumaro_command_line INTERFACE)
target_include_directories(lumaro_command_line SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/cli11)
target_include_directories(lumaro_command_line INTERFACE ${CMAKE_BINARY_DIR}/generated)
