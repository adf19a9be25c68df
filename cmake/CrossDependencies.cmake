# The third-party parts of a cross build, from Debian's host packages: the header-only libraries
# are copied into the build folder (the host's /usr/include must not reach the cross compiler, its
# C library headers would shadow the target's), and GoogleTest is built from its sources.
set(TARVO_HOST_HEADERS ${PROJECT_BINARY_DIR}/host-headers)
file(COPY /usr/include/CLI /usr/include/nlohmann DESTINATION ${TARVO_HOST_HEADERS})
foreach(target IN ITEMS CLI11::CLI11 nlohmann_json::nlohmann_json)
  add_library(${target} INTERFACE IMPORTED)
  target_include_directories(${target} SYSTEM INTERFACE ${TARVO_HOST_HEADERS})
endforeach()

set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Its own CMake files define the GTest:: names the tests link.
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
