# Warnings and the optional sanitizers, applied to every target of the
# project (tests and benchmarks included). Warnings are errors only when
# SORVANE_WARNINGS_AS_ERRORS is on (tools/test turns it on); a packager's
# compiler may warn where ours doesn't, and `cmake --compile-no-warning-as-error`
# overrides it too.
function(sorvane_hygiene target)
  set_target_properties(${target} PROPERTIES COMPILE_WARNING_AS_ERROR ${SORVANE_WARNINGS_AS_ERRORS})
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic
    -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wimplicit-fallthrough -Wmissing-declarations
    -Wformat=2 -Wundef)
  if(SORVANE_SANITIZE)
    # GCC's maybe-uninitialized analysis sees through the sanitizers'
    # instrumentation badly and warns on sound code there; the plain build
    # keeps the warning.
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
      $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
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
