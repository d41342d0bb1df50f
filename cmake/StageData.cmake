# Stages the installation content into the program folder, one file at a time, and only the
# files the program folder does not have yet: what the user changed there (a town added through
# "Références", a model, an edited template) survives every build.
#
#   cmake -DSOURCE=<data folder> -DDESTINATION=<program folder> -P StageData.cmake
if(NOT SOURCE OR NOT DESTINATION)
  message(FATAL_ERROR "StageData.cmake needs SOURCE and DESTINATION")
endif()
file(GLOB_RECURSE staged RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(relative IN LISTS staged)
  if(NOT EXISTS "${DESTINATION}/${relative}")
    get_filename_component(folder "${DESTINATION}/${relative}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY "${SOURCE}/${relative}" DESTINATION "${folder}")
  endif()
endforeach()
