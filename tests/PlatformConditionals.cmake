# cmake -DSOURCE_DIR=... -P PlatformConditionals.cmake
# Fails when a source outside platform/ chooses code by operating system: the
# core is the same on every system, and only the platform layer differs.
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
set(found "")
foreach(source ${sources})
  if(source MATCHES "^(platform|build[^/]*)/")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*(if|elif).*(_WIN32|_WIN64|__linux|__unix|__MINGW|_MSC_VER|__APPLE__)")
  if(lines)
    list(APPEND found "${source}: ${lines}")
  endif()
endforeach()
if(found)
  message(FATAL_ERROR "platform conditionals outside platform/:\n${found}")
endif()
