# Settings shared by the Windows programs: small, static, no C++ runtime.
set(WRENLY_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "Cross-built dependencies")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(WRENLY_BZIP2_DIR "${WRENLY_DEPS_DIR}/bzip2-x86_64")
else()
  set(WRENLY_BZIP2_DIR "${WRENLY_DEPS_DIR}/bzip2-i686")
endif()
add_library(wrenly_bz2 STATIC IMPORTED)
set_target_properties(wrenly_bz2 PROPERTIES
  IMPORTED_LOCATION "${WRENLY_BZIP2_DIR}/lib/libbz2.a"
  INTERFACE_INCLUDE_DIRECTORIES "${WRENLY_BZIP2_DIR}/include")
add_library(wrenly_z STATIC IMPORTED)
set_target_properties(wrenly_z PROPERTIES IMPORTED_LOCATION "/usr/${WRENLY_MINGW_TRIPLE}/lib/libz.a")

set(WRENLY_WIN_COMPILE_OPTIONS
  -Os -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti
  -fno-threadsafe-statics -fno-asynchronous-unwind-tables -Wall -Wextra)
set(WRENLY_WIN_LINK_OPTIONS -static -s -mwindows -Wl,--gc-sections)

# A Windows GUI program linked by the C driver, so nothing of libstdc++ can
# creep in: a use of the C++ runtime fails to link instead of growing the file.
# Compile settings of Windows code, for programs and the libraries they link.
function(wrenly_windows_code target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${WRENLY_WIN_COMPILE_OPTIONS}>
                                           $<$<COMPILE_LANGUAGE:C>:-Os -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables>)
  target_compile_features(${target} PRIVATE cxx_std_20)
endfunction()

function(wrenly_windows_program target)
  wrenly_windows_code(${target})
  target_link_options(${target} PRIVATE ${WRENLY_WIN_LINK_OPTIONS}
                      -Wl,-Map=$<TARGET_FILE_DIR:${target}>/${target}.map)
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE C)
endfunction()
