# Warning flags for the project's own targets; third-party headers come in as system includes.
function(tavik_warnings target)
    # Designated initializers leave members at their defaults on purpose; GCC 12 would flag each.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers)
endfunction()
