# One warning set for every target of the project.
add_library(yejian_warnings INTERFACE)
target_compile_options(yejian_warnings INTERFACE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
