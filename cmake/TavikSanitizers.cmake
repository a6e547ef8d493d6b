# The sanitizer build: AddressSanitizer with UndefinedBehaviorSanitizer, stopping at the first
# report. It applies to every target of the project (all of them are our own: Qt, libcurl and
# GoogleTest come in prebuilt).
option(TAVIK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
# libFuzzer targets under fuzz/; they need clang and the sanitizer build.
option(TAVIK_FUZZ "Build the libFuzzer targets under fuzz/ (clang, with TAVIK_SANITIZE)" OFF)

set(TAVIK_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)

if(TAVIK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TAVIK_FUZZ needs clang (libFuzzer); configure with CXX=clang++")
    endif()
    if(NOT TAVIK_SANITIZE)
        message(FATAL_ERROR "TAVIK_FUZZ needs TAVIK_SANITIZE=ON: a fuzzer finds little without ASan")
    endif()
endif()

if(TAVIK_SANITIZE)
    add_compile_options(${TAVIK_SANITIZER_FLAGS})
    add_link_options(${TAVIK_SANITIZER_FLAGS})

    # ctest runs this script before the tests and they inherit its environment, so every test
    # (the program under the end-to-end harness too) runs with the options and suppressions of
    # sanitizers/. Options already in the environment are kept and win.
    set(TAVIK_SANITIZER_DIR "${PROJECT_SOURCE_DIR}/sanitizers")
    file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/sanitizer_environment.cmake" @ONLY CONTENT [=[
set(dir "@TAVIK_SANITIZER_DIR@")
foreach(sanitizer IN ITEMS asan lsan ubsan)
    file(STRINGS "${dir}/${sanitizer}.options" lines REGEX "^[^#]")
    if(EXISTS "${dir}/${sanitizer}.supp")
        list(APPEND lines "suppressions=${dir}/${sanitizer}.supp")
    endif()
    list(JOIN lines ":" options)
    string(TOUPPER "${sanitizer}_OPTIONS" name)
    if(DEFINED ENV{${name}})
        string(APPEND options ":$ENV{${name}}")
    endif()
    set(ENV{${name}} "${options}")
endforeach()
]=])
    set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY TEST_INCLUDE_FILES
        "${PROJECT_BINARY_DIR}/sanitizer_environment.cmake")
endif()
