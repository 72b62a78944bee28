# The Linux wrenly ships too: everything but glibc is linked statically, so it
# runs where neither libfmt nor libbz2 is installed.
set(ZLIB_USE_STATIC_LIBS ON)
find_library(BZIP2_LIBRARY_RELEASE NAMES libbz2.a)
find_package(fmt REQUIRED)
if(NOT TARGET fmt::fmt-header-only)
  message(FATAL_ERROR "fmt's header-only target is missing")
endif()
