# SPDX-License-Identifier: MIT
# How every target of the project is built: its warnings, and which of the project's folders its
# sources may include.

# The warnings, in one place. EPI_WERROR makes them errors (the test command turns it on).
add_library(epi_warnings INTERFACE)
target_compile_options(epi_warnings INTERFACE -Wall -Wextra -Wshadow -Wformat=2
                                              $<$<BOOL:${EPI_WERROR}>:-Werror>)
# The sanitizers' instrumentation makes GCC's flow analysis see uninitialised values where there
# are none (std::regex's states, for one); the optimised build keeps the warning.
if(EPI_SANITIZE)
  target_compile_options(epi_warnings INTERFACE -Wno-maybe-uninitialized)
endif()

# epi_library(NAME FOLDER SOURCE...): a static library of FOLDER's sources. A folder's headers are
# included as "FOLDER/x.h" from an include root of its own that holds FOLDER alone, so a target
# sees only the folders of the libraries it links: an include without its link does not compile.
function(epi_library name folder)
  add_library(${name} STATIC ${ARGN})
  epi_include_folder(${name} PUBLIC ${folder})
  target_link_libraries(${name} PRIVATE epi_warnings)
endfunction()

# epi_include_folder(TARGET PUBLIC|PRIVATE FOLDER): FOLDER's headers, as "FOLDER/x.h", for TARGET
# (and, PUBLIC, for what links it).
function(epi_include_folder target scope folder)
  set(root ${PROJECT_BINARY_DIR}/include/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} ${scope} ${root})
endfunction()
