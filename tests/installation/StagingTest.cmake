# A rebuild stages into the program folder only what it lacks: a list the user changed there is
# kept, a file the user removed comes back.
#
#   cmake -DSOURCE=<data folder> -DSTAGE=<StageData.cmake> -DWORK=<scratch folder> -P StagingTest.cmake
set(program "${WORK}/bin")
file(REMOVE_RECURSE "${WORK}")
macro(stage)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE=${SOURCE} -DDESTINATION=${program} -P "${STAGE}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "staging failed")
  endif()
endmacro()

stage()
set(towns "${program}/Fichiers/Références/Communes.ini")
set(objects "${program}/Fichiers/Références/Objets.ini")
foreach(expected "${program}/defaut.rtf" "${towns}" "${objects}" "${program}/Assistant/Introduction.ini")
  if(NOT EXISTS "${expected}")
    message(FATAL_ERROR "not staged: ${expected}")
  endif()
endforeach()

# The user adds a town and removes the objects list; then the program is built again.
file(APPEND "${towns}" "Vaison-la-Romaine\r\n")
file(READ "${towns}" changed)
file(REMOVE "${objects}")
stage()

file(READ "${towns}" after)
if(NOT after STREQUAL changed)
  message(FATAL_ERROR "the rebuild replaced the changed list Communes.ini")
endif()
if(NOT EXISTS "${objects}")
  message(FATAL_ERROR "the rebuild did not stage the missing list Objets.ini")
endif()
file(REMOVE_RECURSE "${WORK}")
