# The layer check (cmake/CheckLayers.cmake) runs before any library compiles, and again whenever
# a file of src/ changes: an include that reaches a layer above stops the build.
file(GLOB_RECURSE QUILLO_LAYERED_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp)
get_target_property(QUILLO_WIDGETS_INCLUDES Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
list(FILTER QUILLO_WIDGETS_INCLUDES INCLUDE REGEX "QtWidgets$")
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/layer_check.stamp
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} "-DWIDGETS_DIR=${QUILLO_WIDGETS_INCLUDES}"
          -DSTAMP=${CMAKE_BINARY_DIR}/layer_check.stamp -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake ${QUILLO_LAYERED_FILES}
  COMMENT "Checking that every include goes down the layers")
add_custom_target(layer_check ALL DEPENDS ${CMAKE_BINARY_DIR}/layer_check.stamp)

# quillo_add_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# One static library per layer. The include root is src/, so every include names its layer.
# PUBLIC_LIBS: what the library's headers show; PRIVATE_LIBS: what only its sources use.
function(quillo_add_library name)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS} PRIVATE ${L_PRIVATE_LIBS})
  add_dependencies(${name} layer_check)
endfunction()

# quillo_add_test(name SOURCES ... [LIBS ...])
# One test executable per class. Tests run headless, in French, with a temporary program
# folder of their own (see tests/support/TestSupport.h).
function(quillo_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(tst_${name} ${T_SOURCES})
  set_target_properties(tst_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(tst_${name} PRIVATE quillo_testsupport ${T_LIBS})
  target_compile_definitions(tst_${name} PRIVATE
    QUILLO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QUILLO_DATA_DIR="${CMAKE_SOURCE_DIR}/data"
    QUILLO_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
    QUILLO_SHARED_DIR="${QUILLO_SHARED_DIR}")
  add_test(NAME ${name} COMMAND tst_${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=fr_FR.UTF-8;LANGUAGE=fr;QT_LOGGING_RULES=qt.qpa.*=false"
    TIMEOUT 600)
endfunction()
