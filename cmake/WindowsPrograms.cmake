# Windows programs of the suite and of its tests, cross-compiled for x86-64 with MinGW-w64:
# Debian's Wine runs only those without its 32-bit part. KESTREL_MINGW64_GCC is empty where
# the cross compiler is missing; whoever builds one checks it first.
find_program(KESTREL_MINGW64_GCC x86_64-w64-mingw32-gcc)

# kestrel_windows_program(<output> SOURCE <file.c> [LIBS <library>...] [COMMENT <text>])
# The program <output> built from the C source in the current source folder.
function(kestrel_windows_program output)
  cmake_parse_arguments(W "" "SOURCE;COMMENT" "LIBS" ${ARGN})
  list(TRANSFORM W_LIBS PREPEND "-l")
  add_custom_command(OUTPUT ${output}
    COMMAND ${KESTREL_MINGW64_GCC} -O2 -s -Wall -Wextra -o ${output}
            ${CMAKE_CURRENT_SOURCE_DIR}/${W_SOURCE} ${W_LIBS}
    DEPENDS ${W_SOURCE}
    COMMENT "${W_COMMENT}"
    VERBATIM)
endfunction()

# kestrel_suite_windows_program(<variable> <target> <file name> SOURCE <file.c> [LIBS ...]
#                               [COMMENT <text>])
# A Windows program installed with the suite, built into the library folder (lib/ in the build
# tree) by the target <target>, always; its path goes into the cache variable <variable>, which
# stays empty where the cross compiler is missing (the program is then left out, said once).
function(kestrel_suite_windows_program variable target name)
  if(NOT KESTREL_MINGW64_GCC)
    message(STATUS "${name} not built: it needs x86_64-w64-mingw32-gcc "
                   "(scripts/bootstrap installs it)")
    set(${variable} "" CACHE INTERNAL "${name}, when it is built")
    return()
  endif()
  set(output ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/${name})
  kestrel_windows_program(${output} ${ARGN})
  add_custom_target(${target} ALL DEPENDS ${output})
  set(${variable} ${output} CACHE INTERNAL "${name}, when it is built")
endfunction()
