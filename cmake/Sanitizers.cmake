# YEJIAN_SANITIZE takes a comma-separated list handed to -fsanitize (address,undefined or thread).
if(YEJIAN_SANITIZE)
  set(_yejian_san "-fsanitize=${YEJIAN_SANITIZE}")
  add_compile_options(${_yejian_san} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(${_yejian_san})
endif()
