# wrenly.exe: the builder and the inspector for 64-bit Windows, linked fully
# static so that it imports system DLLs only.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(WRENLY_WIN32_DIR "${CMAKE_SOURCE_DIR}/build/win32" CACHE PATH "Build folder of the i686 flavour")
set(WRENLY_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "Cross-built dependencies")
add_link_options(-static -s)

# zlib and libbzip2 as cross-built for the Installer: the builder needs neither
# gzip (NO_GZIP) nor the stdio functions (BZ_NO_STDIO).
foreach(lib ZLIB BZip2)
  set(dir "${WRENLY_DEPS_DIR}/zlib-x86_64")
  set(file libz.a)
  if(lib STREQUAL "BZip2")
    set(dir "${WRENLY_DEPS_DIR}/bzip2-x86_64")
    set(file libbz2.a)
  endif()
  if(NOT EXISTS "${dir}/lib/${file}")
    message(FATAL_ERROR "${dir}/lib/${file} is missing: run scripts/bootstrap")
  endif()
  add_library(${lib}::${lib} STATIC IMPORTED GLOBAL)
  set_target_properties(${lib}::${lib} PROPERTIES
    IMPORTED_LOCATION "${dir}/lib/${file}" INTERFACE_INCLUDE_DIRECTORIES "${dir}/include")
endforeach()

# The header-only libraries, copied from the host so that the cross compiler
# never searches /usr/include itself (its C library headers would win).
set(include "${CMAKE_BINARY_DIR}/tool-include")
foreach(item CLI fmt toml++ stb/stb_image.h)
  if(NOT EXISTS "/usr/include/${item}")
    message(FATAL_ERROR "/usr/include/${item} is missing: run scripts/bootstrap")
  endif()
  get_filename_component(into "${include}/${item}" DIRECTORY)
  file(COPY "/usr/include/${item}" DESTINATION "${into}")
endforeach()
include_directories(SYSTEM "${include}")
