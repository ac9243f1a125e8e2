# Compiler settings shared by every target of the project.
#
# tryster_warnings: warnings as errors, for our own code only (third-party
# headers come in as system includes and stay quiet).
add_library(tryster_warnings INTERFACE)
target_compile_options(tryster_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough
  -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # g++ 12 reports false positives on std::string/std::vector inlined code.
  target_compile_options(tryster_warnings INTERFACE
    -Wno-stringop-overflow -Wno-array-bounds -Wno-restrict -Wno-null-dereference)
endif()

if(TRYSTER_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TRYSTER_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (use the 'fuzz' preset)")
  endif()
  # Undefined behaviour ends the run like a crash, so the fuzzer keeps the
  # input instead of printing a report and going on.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds a core library: every .cpp of the folder, public include root src/.
# Static, but shared with TRYSTER_SHARED_LIBRARIES: the mutation sample
# builds so, and a mutant then rebuilds its own library and no program.
function(tryster_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(TRYSTER_SHARED_LIBRARIES)
    add_library(${name} SHARED ${ARG_SOURCES})
  else()
    add_library(${name} STATIC ${ARG_SOURCES})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE tryster_warnings)
endfunction()
