# Flags shared by every tree.
enable_testing()

# Reproducible output: no build or source paths in the binaries.
set(SCRIVORA_PREFIX_MAP
  "-ffile-prefix-map=${CMAKE_SOURCE_DIR}=src"
  "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build")

set(SCRIVORA_WARNINGS -Wall -Wextra -Werror)

if(NOT SCRIVORA_TREE STREQUAL "host")
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 STRICT)
  add_compile_options(-Os -ffunction-sections -fdata-sections ${SCRIVORA_PREFIX_MAP})
  # Static runtime, no time stamp in the PE header, unused sections dropped, stripped.
  add_link_options(-static -static-libgcc -static-libstdc++ -s
    -Wl,--gc-sections -Wl,--no-insert-timestamp)
  # ASLR and DEP; relocations stay in the image (-s keeps .reloc) so that the
  # loader can move it. 64-bit images may also lie above 4 GiB.
  add_link_options(-Wl,--dynamicbase,--nxcompat)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
    add_link_options(-Wl,--high-entropy-va)
  endif()
endif()

# scrivora_warnings(target): our own code builds with warnings as errors.
function(scrivora_warnings target)
  target_compile_options(${target} PRIVATE ${SCRIVORA_WARNINGS})
endfunction()

# GoogleTest from the system's source copy, built with the tree's compiler.
macro(scrivora_use_gtest)
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  endif()
endmacro()
