# The LZMA SDK's C code, as scripts/bootstrap left it in build/deps.
set(WRENLY_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "Cross-built dependencies")
if(WIN32 AND NOT WRENLY_TOOL_ONLY)
  # The Installer's decoder: LZMA2 and the x86 filter, cross-built for size.
  set(lzma_arch i686)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(lzma_arch x86_64)
  endif()
  # The fuzz targets compile the decoder themselves, instrumented.
  set(WRENLY_LZMA_DECODER_SOURCES ${sdk}/LzmaDec.c ${sdk}/Lzma2Dec.c ${sdk}/Bra86.c)
  set(WRENLY_LZMA_INCLUDE ${sdk})
  add_library(wrenly_lzma STATIC IMPORTED GLOBAL)
  set_target_properties(wrenly_lzma PROPERTIES
    IMPORTED_LOCATION "${WRENLY_DEPS_DIR}/lzma-${lzma_arch}/lib/liblzmadec.a"
    INTERFACE_INCLUDE_DIRECTORIES "${WRENLY_DEPS_DIR}/lzma-${lzma_arch}/include")
else()
  # The tools' encoder and decoder, and the decoder of the Installer's native
  # core. Single-threaded: the builder spreads whole pieces over its own pool.
  set(sdk "${WRENLY_DEPS_DIR}/lzma-sdk/C")
  if(NOT EXISTS "${sdk}/LzmaEnc.c")
    message(FATAL_ERROR "${sdk} is missing: run scripts/bootstrap")
  endif()
  # The fuzz targets compile the decoder themselves, instrumented.
  set(WRENLY_LZMA_DECODER_SOURCES ${sdk}/LzmaDec.c ${sdk}/Lzma2Dec.c ${sdk}/Bra86.c)
  set(WRENLY_LZMA_INCLUDE ${sdk})
  add_library(wrenly_lzma STATIC
    ${sdk}/LzmaEnc.c ${sdk}/LzFind.c ${sdk}/Lzma2Enc.c ${sdk}/LzmaDec.c ${sdk}/Lzma2Dec.c ${sdk}/Bra86.c
    ${sdk}/CpuArch.c)
  target_compile_definitions(wrenly_lzma PUBLIC Z7_ST)
  target_include_directories(wrenly_lzma SYSTEM PUBLIC ${sdk})
  set_target_properties(wrenly_lzma PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_options(wrenly_lzma PRIVATE -w)
endif()
