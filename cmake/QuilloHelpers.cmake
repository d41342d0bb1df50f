# quillo_add_library(name SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# One static library per layer. The include root is src/, so every include names its layer.
function(quillo_add_library name)
  cmake_parse_arguments(L "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS} PRIVATE ${L_PRIVATE_LIBS})
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
