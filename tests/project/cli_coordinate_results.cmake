# skyrell-cli coordinate-results on a fresh sortie folder: the table equals the
# hand-written one byte for byte, and a sortie without its results folder is
# refused with the window's message and exit status 1.
# Variables: CLI (the program), DATA (tests/data/project), WORK (scratch folder).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/S/坐标成果" "${WORK}/S/刺点片" "${WORK}/bare")
foreach(photo P0001_IMG_0286.jpg p0002_IMG_0300.JPG P0010_IMG_5.jpg)
  file(TOUCH "${WORK}/S/刺点片/${photo}")
endforeach()

execute_process(COMMAND "${CLI}" coordinate-results --make chc "${DATA}/chc_raw.csv" "${WORK}/S"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "生成坐标成果数据完毕。\n")
  message(FATAL_ERROR "exit ${rc}, stdout '${out}', stderr '${err}'")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                "${WORK}/S/坐标成果/坐标成果.csv" "${DATA}/chc_expected.csv" RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  message(FATAL_ERROR "the results table differs from chc_expected.csv")
endif()

execute_process(COMMAND "${CLI}" coordinate-results --make hi-target "${DATA}/hitarget_raw.csv"
                "${WORK}/bare" RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 1 OR NOT err STREQUAL "坐标成果目录不存在。\n")
  message(FATAL_ERROR "missing results folder: exit ${rc}, stderr '${err}'")
endif()
file(REMOVE_RECURSE "${WORK}")
