# Warning flags for the project's own targets; third-party headers come in as system includes.
function(tavik_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
