# Turns the resource key file (config/resource-keys.txt unless QARRUM_RESOURCE_KEYS names another)
# into the header support/ResourceKeys.h of the build tree. The values are written as byte lists,
# so no character of a key string needs escaping, and each is checked here: a wrong length would
# otherwise only show as files that decrypt to noise.
set(QARRUM_RESOURCE_KEYS ${CMAKE_SOURCE_DIR}/config/resource-keys.txt CACHE FILEPATH
    "File with the key strings and the IV of the encrypted resource files")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QARRUM_RESOURCE_KEYS})

if(NOT EXISTS ${QARRUM_RESOURCE_KEYS})
  message(FATAL_ERROR "QARRUM_RESOURCE_KEYS: no file ${QARRUM_RESOURCE_KEYS}")
endif()
file(STRINGS ${QARRUM_RESOURCE_KEYS} key_lines)
set(key_names general category1 category2 category3 category4 fallback iv)
foreach(line IN LISTS key_lines)
  if(line MATCHES "^#" OR line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^([a-z0-9]+)=(.*)$")
    message(FATAL_ERROR "${QARRUM_RESOURCE_KEYS}: not NAME=VALUE: ${line}")
  endif()
  set(name ${CMAKE_MATCH_1})
  set(value "${CMAKE_MATCH_2}")
  if(NOT name IN_LIST key_names)
    message(FATAL_ERROR "${QARRUM_RESOURCE_KEYS}: unknown name ${name}")
  endif()
  if(DEFINED key_${name})
    message(FATAL_ERROR "${QARRUM_RESOURCE_KEYS}: ${name} given twice")
  endif()
  set(key_${name} "${value}")
endforeach()

function(qarrum_key_bytes name length out)
  if(NOT DEFINED key_${name})
    message(FATAL_ERROR "${QARRUM_RESOURCE_KEYS}: ${name} is missing")
  endif()
  string(LENGTH "${key_${name}}" have)
  if(NOT have EQUAL length OR NOT "${key_${name}}" MATCHES "^[ -~]+$")
    message(FATAL_ERROR "${QARRUM_RESOURCE_KEYS}: ${name} must be ${length} printable ASCII characters")
  endif()
  string(HEX "${key_${name}}" hex)
  string(REGEX REPLACE "(..)" "0x\\1, " bytes "${hex}")
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# The two categories of one game family share their key string.
if(NOT key_category1 STREQUAL key_category4)
  message(FATAL_ERROR "${QARRUM_RESOURCE_KEYS}: category1 and category4 must be the same string")
endif()
set(category_rows "")
foreach(name general category1 category2 category3 category4)
  qarrum_key_bytes(${name} 27 bytes)
  string(APPEND category_rows "    {${bytes}},\n")
endforeach()
qarrum_key_bytes(fallback 21 fallback_bytes)
if(NOT key_iv MATCHES "^[0-9a-fA-F]+$")
  message(FATAL_ERROR "${QARRUM_RESOURCE_KEYS}: iv must be 32 hex digits")
endif()
string(LENGTH "${key_iv}" iv_length)
if(NOT iv_length EQUAL 32)
  message(FATAL_ERROR "${QARRUM_RESOURCE_KEYS}: iv must be 32 hex digits")
endif()
string(REGEX REPLACE "(..)" "0x\\1, " iv_bytes "${key_iv}")

file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/support/ResourceKeys.h CONTENT
"#pragma once
// Made by CMake from ${QARRUM_RESOURCE_KEYS}; edit that file, not this one.
#include <cstdint>

namespace resource_keys {

inline constexpr uint8_t kCategory[5][27] = {
${category_rows}};
inline constexpr uint8_t kFallback[21] = {${fallback_bytes}};
inline constexpr uint8_t kIv[16] = {${iv_bytes}};

}  // namespace resource_keys
" @ONLY)
