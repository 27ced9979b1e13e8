# The fuzz build (build-fuzz/, clang only): every library and both deliverables
# carry the fuzzer's coverage counters and AddressSanitizer with
# UndefinedBehaviorSanitizer; the fuzz targets in tests/fuzz link libFuzzer.
# The sanitizer runtime is the shared one, so that the deliverables, which
# link with --no-undefined, resolve it as the executable does.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "QF_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
  -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined -shared-libsan)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libclang_rt.asan-x86_64.so
  OUTPUT_VARIABLE qf_asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(qf_sanitizer_dir "${qf_asan_runtime}" DIRECTORY)
add_link_options(-Wl,-rpath,${qf_sanitizer_dir})
