# The program's sources as a benchmark project builds them: its executables land in app/ beside
# the files they read, as in the main build.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
add_compile_options(-Wall -Wextra)
set(MORVANE_APP_DIR ${CMAKE_BINARY_DIR}/app)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${MORVANE_APP_DIR})
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/../src ${CMAKE_BINARY_DIR}/src)
