# Settings shared by the Windows programs: small, static, no C++ runtime.
set(WRENLY_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "Cross-built dependencies")
# libbzip2 and zlib, cross-built by scripts/bootstrap with one section per
# function so that --gc-sections keeps only what is called.
set(arch i686)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(arch x86_64)
endif()
foreach(lib bz2 z)
  set(dir "${WRENLY_DEPS_DIR}/zlib-${arch}")
  if(lib STREQUAL "bz2")
    set(dir "${WRENLY_DEPS_DIR}/bzip2-${arch}")
  endif()
  add_library(wrenly_${lib} STATIC IMPORTED)
  set_target_properties(wrenly_${lib} PROPERTIES
    IMPORTED_LOCATION "${dir}/lib/lib${lib}.a"
    INTERFACE_INCLUDE_DIRECTORIES "${dir}/include")
endforeach()

# CMake adds the C++ compiler's implicit libraries (-lstdc++ -lgcc_s) to every
# target with C++ sources, even one linked by the C driver. -lgcc_s is the
# import library of libgcc_s_dw2-1.dll, which no Windows machine has: the
# 64-bit division helpers must come from the static libgcc the C driver adds.
set(CMAKE_CXX_IMPLICIT_LINK_LIBRARIES "")

set(WRENLY_WIN_COMPILE_OPTIONS
  -Os -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti
  -fno-threadsafe-statics -fno-asynchronous-unwind-tables -Wall -Wextra)
set(WRENLY_WIN_LINK_OPTIONS -static -s -mwindows -Os -Wl,--gc-sections)

# A Windows GUI program linked by the C driver, so nothing of libstdc++ can
# creep in: a use of the C++ runtime fails to link instead of growing the file.
# Compile settings of Windows code, for programs and the libraries they link.
# Link-time optimisation across our objects: what one file only calls with
# constants folds away, about 8 % of each program.
function(wrenly_windows_code target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${WRENLY_WIN_COMPILE_OPTIONS}>
                                           $<$<COMPILE_LANGUAGE:C>:-Os -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables>)
  target_compile_features(${target} PRIVATE cxx_std_20)
  set_property(TARGET ${target} PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
endfunction()

function(wrenly_windows_program target)
  wrenly_windows_code(${target})
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/installer/platform/runtime_hooks_win32.c)
  target_link_options(${target} PRIVATE ${WRENLY_WIN_LINK_OPTIONS} -Wl,--disable-auto-import
                      -Wl,-Map=$<TARGET_FILE_DIR:${target}>/${target}.map)
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE C)
endfunction()
