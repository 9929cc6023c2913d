# Helpers shared by every folder's CMakeLists.

find_program(DBUS_RUN_SESSION dbus-run-session)

# Leaks inside third-party libraries that a sanitizer build would otherwise stop at.
set(ZENTROVE_LSAN_OPTIONS "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tools/lsan-suppressions.txt:print_suppressions=0")

# zentrove_add_test(NAME <name> SOURCES <files...> LABELS <labels...> [LIBS <libs...>] [TIMEOUT <s>])
# A QtTest executable registered with CTest. Each test gets its own home and XDG folders under
# the build tree, so nothing ever touches the real configuration of whoever runs the suite, and
# its own private session bus, so tests running side by side never see each other's notices. The
# update feed and the feedback server point at a closed local port: no test reaches the network.
function(zentrove_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LABELS;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE zentrove_test_support Qt6::Test ${T_LIBS})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(DBUS_RUN_SESSION)
    add_test(NAME ${T_NAME} COMMAND ${DBUS_RUN_SESSION} -- $<TARGET_FILE:${T_NAME}>)
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  endif()
  set(home ${CMAKE_BINARY_DIR}/test-homes/${T_NAME})
  # dbus-run-session looks for its runtime folder before the test starts.
  file(MAKE_DIRECTORY ${home}/runtime)
  file(CHMOD ${home}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS "${T_LABELS}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "HOME=${home};XDG_CONFIG_HOME=${home}/config;XDG_DATA_HOME=${home}/data;XDG_CACHE_HOME=${home}/cache;XDG_RUNTIME_DIR=${home}/runtime;QT_QPA_PLATFORM=offscreen;ZENTROVE_BUILD_DIR=${CMAKE_BINARY_DIR};ZENTROVE_UPDATE_FEED=http://127.0.0.1:9/feed.json;ZENTROVE_FEEDBACK_URL=http://127.0.0.1:9/feedback;${ZENTROVE_LSAN_OPTIONS}")
endfunction()

# zentrove_add_fuzzer(NAME <name> SOURCES <files...> CORPUS <dir>)
# With clang: a libFuzzer binary (the shared code it calls is instrumented too: see CMakeLists.txt).
# Otherwise: a plain program that replays the seed corpus, which CTest runs so every seed keeps
# passing with gcc too.
function(zentrove_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES" ${ARGN})
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(${F_NAME} ${F_SOURCES})
    target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
  else()
    add_executable(${F_NAME} ${F_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
  endif()
  target_link_libraries(${F_NAME} PRIVATE zentrove_shared)
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  if(ZENTROVE_BUILD_TESTS)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      add_test(NAME ${F_NAME} COMMAND ${F_NAME} -runs=0 ${F_CORPUS})
    else()
      add_test(NAME ${F_NAME} COMMAND ${F_NAME} ${F_CORPUS})
    endif()
    set_tests_properties(${F_NAME} PROPERTIES LABELS "fuzz" ENVIRONMENT "${ZENTROVE_LSAN_OPTIONS}")
  endif()
endfunction()
