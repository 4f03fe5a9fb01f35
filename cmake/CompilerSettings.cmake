# The compiler settings of every build: the release, test and sanitizer builds and the fuzz
# targets all take them from here.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

add_compile_options(-Wall -Wextra -Wsuggest-override -Wnon-virtual-dtor)
if(WERROR)
    add_compile_options(-Werror)
endif()

# Any fault stops the program at once: a test fails, and libFuzzer keeps the input that caused it.
if(ALARM_CLOCK_SANITIZE)
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${sanitizers})
    add_link_options(${sanitizers})
endif()

# Coverage for libFuzzer in every target, so that the fuzz targets link the readers as they are.
if(ALARM_CLOCK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "ALARM_CLOCK_FUZZ needs clang, not ${CMAKE_CXX_COMPILER_ID}: configure "
                            "with cmake --preset fuzz, or -DCMAKE_CXX_COMPILER=clang++.")
    endif()
    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
    check_cxx_source_compiles(
        "extern \"C\" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }"
        HAVE_LIBFUZZER)
    unset(CMAKE_REQUIRED_LINK_OPTIONS)
    if(NOT HAVE_LIBFUZZER)
        message(FATAL_ERROR "ALARM_CLOCK_FUZZ needs libFuzzer (Debian 12: libclang-rt-14-dev); "
                            "run script/setup test.")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
    add_link_options(-fsanitize=fuzzer-no-link)
endif()
