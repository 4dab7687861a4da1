# Warnings for our own targets, and the sanitizer build.
function(zembrik_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
  if(ZEMBRIK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(ZEMBRIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
