# Fails when a file of src/ includes a header of a layer above its own, or when core or richtext
# include a widget header. Run by the build before any library is compiled (target
# `layer_check`), so that a reach upward stops the build with the file and the header named.
#
#   cmake -DSOURCE_DIR=<repository> -DWIDGETS_DIR=<QtWidgets include folder> -DSTAMP=<file>
#         -P cmake/CheckLayers.cmake
cmake_minimum_required(VERSION 3.21)
#
# The layers, each with what it may include (itself included). Keep README.md's Layout in step.
set(uses_core core)
set(uses_richtext core richtext)
set(uses_spelling core spelling)
set(uses_dialogs core richtext dialogs)
set(uses_about core richtext dialogs about)
set(uses_spelling/ui core richtext dialogs spelling spelling/ui)
set(uses_composition core richtext composition)
set(uses_composition/ui core richtext spelling dialogs spelling/ui composition composition/ui)
set(uses_printing core richtext dialogs printing)
# Letters written to files one per recipient, below the windows that start such a series.
set(uses_batch core richtext composition printing batch)
# What the windows that start a series show of it: where to, the progress, the outcome.
set(uses_batch/ui core richtext dialogs composition printing batch batch/ui)
set(uses_editor core richtext spelling dialogs about spelling/ui composition printing batch batch/ui editor)
set(uses_wizard
    core richtext spelling dialogs about spelling/ui composition composition/ui printing batch batch/ui editor
    wizard)
# The programs' start and the command line, which writes letters without any window.
set(uses_app
    core richtext spelling dialogs about spelling/ui composition composition/ui printing batch batch/ui editor
    wizard app)
# The second program: the data layer, the dialog seam and the application's icon and language.
set(uses_conversion core richtext dialogs app conversion)
# Only QtCore and QtGui below the dialogs.
set(without_widgets core richtext spelling composition batch)

# The layer of a path under src/: its folder, or folder/ui for a layer's windows.
function(layer_of path out)
  if(path MATCHES "^([a-z]+)/ui/")
    set(${out} "${CMAKE_MATCH_1}/ui" PARENT_SCOPE)
  elseif(path MATCHES "^([a-z]+)/")
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
set(faults "")
foreach(file IN LISTS files)
  layer_of(${file} layer)
  if(NOT DEFINED uses_${layer})
    list(APPEND faults "src/${file}: the folder is no layer; add it to cmake/CheckLayers.cmake")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/src/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(header ${CMAKE_MATCH_1})
      layer_of(${header} used)
      # A header named without a folder is the file's neighbour (a generated .moc, a table).
      if(used STREQUAL "" OR used IN_LIST uses_${layer})
        continue()
      endif()
      list(JOIN uses_${layer} ", " allowed)
      list(APPEND faults "src/${file}: the ${layer} layer includes \"${header}\" from ${used}, a layer it \
may not use (${layer} uses ${allowed})")
    elseif(layer IN_LIST without_widgets AND line MATCHES "#[ \t]*include[ \t]*<(QtWidgets/)?([^>]+)>")
      if(EXISTS ${WIDGETS_DIR}/${CMAKE_MATCH_2})
        list(APPEND faults "src/${file}: the ${layer} layer includes the widget header <${CMAKE_MATCH_2}>")
      endif()
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Layers go one way (see README.md, Layout):\n  ${text}")
endif()
file(TOUCH ${STAMP})
