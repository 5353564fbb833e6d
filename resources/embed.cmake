# Writes the module's resources (every .txt and .bmp file under SOURCE_DIR)
# into one C++ source, OUTPUT, as byte arrays named by their relative paths.
# Run at build time: cmake -DSOURCE_DIR=… -DOUTPUT=… -P embed.cmake
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.txt ${SOURCE_DIR}/*.bmp)
list(SORT files)
set(arrays "")
set(table "")
set(i 0)
foreach(f ${files})
  file(READ ${SOURCE_DIR}/${f} hex HEX)
  string(LENGTH "${hex}" len)
  math(EXPR n "${len} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char kFile${i}[] = {${bytes}0};\n")
  string(APPEND table "    {\"${f}\", kFile${i}, ${n}},\n")
  math(EXPR i "${i} + 1")
endforeach()
if(i EQUAL 0)
  set(table "    {nullptr, nullptr, 0},\n")
endif()
file(WRITE ${OUTPUT}.tmp
"// Generated from the files of resources/ at build time; do not edit.
#include \"resources/velmresources.h\"

namespace {
${arrays}
const VelmResourceBlob kBlobs[] = {
${table}};
}  // namespace

const VelmResourceBlob* VelmResourceBlobs(std::size_t& count) {
    count = ${i};
    return kBlobs;
}
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
