# Writes the bytes of INPUT into the header OUTPUT as `inline constexpr char NAME[]` (no
# terminating zero of its own; its size is sizeof NAME), so the file travels inside the
# library exactly as written. Run with: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P this-file
file(READ "${INPUT}" hex HEX)
# 16 bytes a line (CMake's regular expressions have no counted repetition).
string(REPEAT "[0-9a-f]" 32 line_of_hex)
string(REGEX REPLACE "(${line_of_hex})" "\\1\n  " hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
get_filename_component(source_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.new"
  "// Generated at build time from ${source_name}; edit that file instead.\n"
  "#pragma once\n\n"
  "namespace yejian::text::embedded {\n\n"
  "inline constexpr char ${NAME}[] = {\n  ${bytes}\n};\n\n"
  "} // namespace yejian::text::embedded\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
