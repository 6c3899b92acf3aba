# YEJIAN_SANITIZE takes a comma-separated list handed to -fsanitize (address,undefined or thread).
if(YEJIAN_SANITIZE)
  set(_yejian_san "-fsanitize=${YEJIAN_SANITIZE}")
  add_compile_options(${_yejian_san} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(${_yejian_san})
endif()

# YEJIAN_FUZZ builds every library with libFuzzer's coverage hooks and address/undefined checks;
# the harnesses in tests/fuzz add libFuzzer's own main. Only clang has libFuzzer.
if(YEJIAN_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "YEJIAN_FUZZ needs clang, e.g. -DCMAKE_CXX_COMPILER=clang++-14")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
