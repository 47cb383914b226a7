# KESTREL_FUZZ: every library is built with libFuzzer's coverage hooks and the address and
# undefined-behaviour sanitizers, and fuzz/ adds one fuzzing program per reader. libFuzzer
# comes with clang only, so another compiler is refused here rather than failing at link.
if(NOT KESTREL_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR NOT CMAKE_C_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "KESTREL_FUZZ needs clang and libFuzzer, but the compilers are "
          "${CMAKE_C_COMPILER_ID}/${CMAKE_CXX_COMPILER_ID}; configure a separate tree with "
          "-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ (scripts/fuzz does)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
# Fuzzing wants quick builds, assertions and line numbers in reports more than fast code.
foreach(lang C CXX)
  set(CMAKE_${lang}_FLAGS_RELWITHDEBINFO "-O1 -gline-tables-only")
endforeach()
