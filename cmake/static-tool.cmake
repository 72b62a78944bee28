# The Linux wrenly ships too: everything but glibc is linked statically, so it
# runs where neither libfmt nor libbz2 is installed (fmt's compiled part is
# builder/fmt_compiled.cpp).
# A build folder configured before keeps the shared libraries in its cache.
unset(ZLIB_LIBRARY CACHE)
unset(ZLIB_LIBRARY_RELEASE CACHE)
unset(BZIP2_LIBRARY_RELEASE CACHE)
set(ZLIB_USE_STATIC_LIBS ON)
find_library(BZIP2_LIBRARY_RELEASE NAMES libbz2.a)
