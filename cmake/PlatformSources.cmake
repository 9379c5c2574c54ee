# Platform code sits beside the code it serves, one file per platform: <Concept>Posix.cpp
# and <Concept>Win32.cpp. A folder's source list keeps only those of the target platform.
function(vorlatek_platform_sources list_var)
  if(WIN32)
    list(FILTER ${list_var} EXCLUDE REGEX "Posix\\.cpp$")
  else()
    list(FILTER ${list_var} EXCLUDE REGEX "Win32\\.cpp$")
  endif()
  set(${list_var} ${${list_var}} PARENT_SCOPE)
endfunction()
