# Checks that the release payload (Zopfli) carries byte for byte the archive
# that a zlib level 9 build of the same manifest gives, in the stream shape the
# setup expects. cmake -DMKPAYLOAD= -DMANIFEST= -DPAYLOAD= -DWORK= -P SameArchive.cmake
file(MAKE_DIRECTORY ${WORK})
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}: ${rc}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# Times of packaged files are read in UTC, as the build does.
run(${CMAKE_COMMAND} -E env TZ=UTC0 ${MKPAYLOAD} --level 9 --raw ${WORK}/zlib9.raw -o ${WORK}/zlib9.bin ${MANIFEST})
run(${MKPAYLOAD} --list ${WORK}/zlib9.bin)
set(list9 "${out}")
run(${MKPAYLOAD} --list ${PAYLOAD} --raw ${WORK}/release.raw)
set(listrel "${out}")

# The listings differ only in the compressed size on their last line.
string(REGEX REPLACE "from [0-9]+ bytes" "" list9 "${list9}")
string(REGEX REPLACE "from [0-9]+ bytes" "" listrel "${listrel}")
if(NOT list9 STREQUAL listrel)
  message(FATAL_ERROR "entries differ\nzlib level 9:\n${list9}\nrelease:\n${listrel}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/zlib9.raw ${WORK}/release.raw RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "the release payload inflates to other bytes than the zlib level 9 build")
endif()
file(READ ${PAYLOAD} head LIMIT 2 HEX)
if(NOT head STREQUAL "78da")
  message(FATAL_ERROR "the release payload starts with ${head}, not the zlib header 78da")
endif()
file(SIZE ${PAYLOAD} size_rel)
file(SIZE ${WORK}/zlib9.bin size9)
message(STATUS "same archive; release payload ${size_rel} bytes, zlib level 9 ${size9} bytes")
file(REMOVE ${WORK}/zlib9.raw ${WORK}/release.raw ${WORK}/zlib9.bin)
