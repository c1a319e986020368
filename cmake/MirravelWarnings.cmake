# One strict warning set for every target of ours. Each CMakeLists calls
# mirravel_strict_warnings() on the targets it makes; mirravel_check_strict_warnings() at the end
# of the top-level configure fails for a compiled target that was left without it, so a new or
# renamed target cannot slip by with the compiler's defaults.
include_guard(GLOBAL)

option(MIRRAVEL_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

# With PRODUCT (the program's own targets), implicit conversions that may change a value or its
# sign are warned of too.
function(mirravel_strict_warnings target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "PRODUCT" "" "")
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(MIRRAVEL_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  elseif(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
    if(arg_PRODUCT)
      target_compile_options(${target} PRIVATE -Wconversion -Wsign-conversion)
    endif()
    if(MIRRAVEL_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  set_property(TARGET ${target} PROPERTY MIRRAVEL_STRICT_WARNINGS ON)
endfunction()

function(_mirravel_unwarned_targets directory out)
  set(missing)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      get_target_property(warned ${target} MIRRAVEL_STRICT_WARNINGS)
      if(NOT warned)
        list(APPEND missing ${target})
      endif()
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    _mirravel_unwarned_targets(${subdirectory} below)
    list(APPEND missing ${below})
  endforeach()
  set(${out} ${missing} PARENT_SCOPE)
endfunction()

function(mirravel_check_strict_warnings)
  _mirravel_unwarned_targets(${CMAKE_CURRENT_SOURCE_DIR} missing)
  if(missing)
    list(JOIN missing ", " names)
    message(SEND_ERROR "Targets without the project's warnings: ${names}. "
                       "Call mirravel_strict_warnings(<target>) where each is made.")
  endif()
endfunction()
