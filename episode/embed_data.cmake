# Writes OUTPUT, a C++ source holding every file of DATA_DIR as bytes, with the one table that
# names them as they are named under the working folder ("data/dot.tga"), and UseShippedData.
#   cmake -DDATA_DIR=... -DOUTPUT=... -P embed_data.cmake
file(GLOB_RECURSE files RELATIVE ${DATA_DIR} ${DATA_DIR}/*)
list(SORT files)
set(arrays "")
set(table "")
set(index 0)
foreach(name IN LISTS files)
  if(IS_DIRECTORY ${DATA_DIR}/${name})
    continue()
  endif()
  file(READ ${DATA_DIR}/${name} hex HEX)
  file(SIZE ${DATA_DIR}/${name} size)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
  # A last zero so that no array is empty; the size leaves it out.
  string(APPEND arrays "const unsigned char FILE_${index}[] = {\n    ${bytes}0};\n")
  string(APPEND table "    {\"data/${name}\", FILE_${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.new "// Made at build time from the shipped data/ folder; not to be edited.
#include \"episode/shipped_data.h\"

#include \"framework/data_file.h\"

namespace {
${arrays}
const BuiltInFile FILES[] = {
${table}};
}  // namespace

namespace gulper {

void UseShippedData() {
    SetBuiltInFiles(FILES, sizeof FILES / sizeof FILES[0]);
}

}  // namespace gulper
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
