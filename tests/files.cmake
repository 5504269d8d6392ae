# Project files, CSV and the `plotmeter export` command (included from tests/CMakeLists.txt).
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(file_tests
  ${CMAKE_CURRENT_LIST_DIR}/document/ProjectFileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/document/MeasuringTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/document/CsvFileTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/document/ExportFormatsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/document/ResamplingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cli/CommandFixture.h
  ${CMAKE_CURRENT_LIST_DIR}/cli/CommandTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cli/ExportResamplingTest.cpp)
target_link_libraries(file_tests PRIVATE document cli GTest::gtest_main plotmeter_warnings)
target_compile_features(file_tests PRIVATE cxx_std_20)
gtest_discover_tests(file_tests DISCOVERY_TIMEOUT 60)

if(TARGET plotmeter)
  # The real program exports with no display at all: the command never reaches Qt.
  add_test(NAME ExportNeedsNoDisplay
    COMMAND sh -c "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"$0\" export \"$1\" -o \"$2\" && cat \"$2\""
            $<TARGET_FILE:plotmeter>
            ${CMAKE_CURRENT_LIST_DIR}/data/projects/offset-axis.plotmeter
            ${CMAKE_CURRENT_BINARY_DIR}/offset-axis-export.csv)
  set_tests_properties(ExportNeedsNoDisplay PROPERTIES PASS_REGULAR_EXPRESSION
    "^series,x,y,screen_x,screen_y\r\nOffset,1420400000.5,0,1,0\r\nOffset,1420400050,50,100,50\r\n$")
endif()
