# Strict warnings for the project's own targets.
function(mirewood_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion)
    if(MIREWOOD_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
