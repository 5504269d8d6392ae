# Every target of ours links plotmeter_warnings: one place for the warning set and the
# sanitizer switches, so that no folder can quietly build with less.
add_library(plotmeter_warnings INTERFACE)
target_compile_options(plotmeter_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion)
if(PLOTMETER_WERROR)
  target_compile_options(plotmeter_warnings INTERFACE -Werror)
endif()

if(PLOTMETER_SANITIZE)
  target_compile_options(plotmeter_warnings INTERFACE
    -fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(plotmeter_warnings INTERFACE -fsanitize=address,undefined)
endif()

# Fuzzing builds (clang): our code instrumented for coverage, with the same sanitizers.
if(PLOTMETER_FUZZ)
  target_compile_options(plotmeter_warnings INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(plotmeter_warnings INTERFACE -fsanitize=address,undefined)
endif()
