# Native build: the portable core, its unit tests, fuzz targets, benchmarks.

if(ORVANTE_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  file(GLOB ORVANTE_NATIVE_TESTS CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/tests/native/*.cpp)
  add_executable(orvante_native_tests ${ORVANTE_NATIVE_TESTS})
  target_link_libraries(orvante_native_tests PRIVATE orvante_core
                        GTest::gtest GTest::gtest_main)
  target_compile_options(orvante_native_tests PRIVATE ${ORVANTE_WARNINGS})
  target_compile_definitions(orvante_native_tests PRIVATE
      ORVANTE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(orvante_native_tests TEST_PREFIX "native."
                       DISCOVERY_TIMEOUT 60)
endif()

if(ORVANTE_FUZZ AND EXISTS ${PROJECT_SOURCE_DIR}/tests/fuzz/CMakeLists.txt)
  add_subdirectory(tests/fuzz)
endif()

if(ORVANTE_BENCH AND EXISTS ${PROJECT_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
