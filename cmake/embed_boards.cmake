# Run as a script at build time: writes OUTPUT, a C++ source holding the
# bytes of each board file in FILES (a ;-list, in --boards order) as a
# string. Every byte is written as an escape, so the source is the same
# for the same files wherever and whenever it is built.
set(body "// Generated from keymodel/boards/*.json; edit those.\n")
string(APPEND body "#include \"keymodel/board_presets.h\"\n\nnamespace {\n")
set(table "")
set(index 0)
foreach(file IN LISTS FILES)
  get_filename_component(name ${file} NAME_WE)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
  # 40 bytes (160 characters) to a line.
  string(REPEAT "...." 40 line)
  string(REGEX REPLACE "(${line})" "\\1\"\n    \"" lines "${escaped}")
  string(APPEND body "const char kText${index}[] =\n    \"${lines}\";\n")
  string(APPEND table "    {\"${name}\", kText${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND body "} // namespace\n\nconst BoardPreset kBoardPresets[] = {\n"
       "${table}};\nconst int kBoardPresetCount = ${index};\n")
file(WRITE ${OUTPUT}.new "${body}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
