# Strict warnings for the project's own targets. Warnings are errors in the
# project's own test runs (scripts/test.sh turns TVQ_WERROR on), not in a
# packager's build, where a newer or older compiler may warn about new things.
option(TVQ_WERROR "Treat the project's warnings as errors" OFF)

function(tvq_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(TVQ_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
        # g++ 12 takes std::string copies at -O3 for overlapping memcpy calls
        # (GCC bug 105329); that false positive stays a warning.
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND
           CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12 AND
           CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
            target_compile_options(${target} PRIVATE -Wno-error=restrict)
        endif()
    endif()
endfunction()
