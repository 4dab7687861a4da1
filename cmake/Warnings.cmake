# Warnings for our own targets, the one include root, and the sanitizer
# build.  Includes name their folder: #include "device/DeviceLink.h".
function(zembrik_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
  if(ZEMBRIK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  else()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  endif()
endfunction()

if(ZEMBRIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
