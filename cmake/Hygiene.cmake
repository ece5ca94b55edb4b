# Warnings, warnings as errors and the optional sanitizers, applied to every
# target of the project (tests and benchmarks included).
function(sorvane_hygiene target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Werror
    -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wimplicit-fallthrough -Wmissing-declarations
    -Wformat=2 -Wundef)
  if(SORVANE_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(SORVANE_FUZZ)
    # The code under test is instrumented for coverage; only the fuzz
    # targets themselves link libFuzzer's main().
    target_compile_options(${target} PRIVATE
      -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()
