# Shared build settings and the two helpers every folder uses.

add_library(tr4_options INTERFACE)
target_compile_options(tr4_options INTERFACE -Wall -Wextra)
target_include_directories(tr4_options INTERFACE ${PROJECT_SOURCE_DIR})
if(TR4_WERROR)
  target_compile_options(tr4_options INTERFACE -Werror)
endif()
if(TR4_SANITIZE)
  set(TR4_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(tr4_options INTERFACE ${TR4_SANITIZER_FLAGS})
  target_link_options(tr4_options INTERFACE ${TR4_SANITIZER_FLAGS})
endif()

# A library made of every .cpp in DIR (not recursive). A folder that has no
# sources yet becomes an interface library, so dependents still configure.
function(tr4_add_library NAME DIR)
  file(GLOB sources CONFIGURE_DEPENDS ${DIR}/*.cpp)
  if(sources)
    add_library(${NAME} STATIC ${sources})
    target_link_libraries(${NAME} PUBLIC tr4_options ${ARGN})
  else()
    add_library(${NAME} INTERFACE)
    target_link_libraries(${NAME} INTERFACE tr4_options ${ARGN})
  endif()
endfunction()

# One GoogleTest executable made of every .cpp in tests/AREA, linked to the
# libraries given. Tests run without a display (Qt's offscreen platform);
# sanitizer options come from scripts/test.sh.
function(tr4_add_test_area AREA)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${AREA}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target tests_${AREA})
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE tr4_options GTest::gtest GTest::gmock GTest::gtest_main ${ARGN})
  target_compile_definitions(${target} PRIVATE TR4_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                               TR4_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
endfunction()
