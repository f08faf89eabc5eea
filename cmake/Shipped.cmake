# Flags for code that ships in rayctl.exe. It must run without a C runtime on
# Windows 98: no exceptions, no RTTI, no thread-safe statics, no unwind tables.
# The target processor of the tree (the i686 toolchain file names the 80486).
if(RAYLET_ARCH_FLAGS)
  add_compile_options(${RAYLET_ARCH_FLAGS})
endif()

# Reproducible programs: the same commit gives the same bytes in any folder
# at any time, so no source or build path enters an object file.
if(WIN32)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
endif()

set(RAYLET_WARNINGS -Wall -Wextra -Wshadow -Wnon-virtual-dtor)

# Code size before speed: nothing here is hot, and the program must stay
# small for the machines it is for. Loop transformations only grow its
# short text loops; a function inlined into its one caller often grows it
# more than the call saves; constants get the alignment their type needs,
# not a cache line's. On i386, no frame pointer and the 4-byte stack
# alignment that Win32 guarantees anyway (nothing here uses SSE), so no
# function realigns its stack. Given to the link too, where the code of the
# whole program is generated.
set(RAYLET_SIZE_FLAGS -Oz -fno-tree-loop-optimize -fno-inline-functions-called-once -malign-data=abi)
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND RAYLET_SIZE_FLAGS -fomit-frame-pointer -mpreferred-stack-boundary=2)
endif()

function(raylet_shipped target)
  target_compile_options(${target} PRIVATE ${RAYLET_WARNINGS} -fno-exceptions
                         -fno-threadsafe-statics)
  if(WIN32)
    # Small code whose unused functions and data the linker can drop; no
    # compiler stamp in every object; no stack protector (its runtime is
    # not there).
    target_compile_options(${target} PRIVATE -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
                           ${RAYLET_SIZE_FLAGS} -ffunction-sections -fdata-sections -fno-ident -fno-stack-protector)
    # Optimized as one program at the link (raylet_runtime_free_executable):
    # calls across files inline, and what no path reaches goes. The objects
    # carry ordinary code too, which the test programs link as it is.
    target_compile_options(${target} PRIVATE -flto -ffat-lto-objects)
    # Windows 98 headers: newer declarations are not even visible.
    target_compile_definitions(${target} PUBLIC WINVER=0x0400 _WIN32_WINDOWS=0x0410
                               _WIN32_WINNT=0x0400 WIN32_LEAN_AND_MEAN)
  endif()
endfunction()

# A Windows program without the C runtime (Windows builds only): our own
# entry point, heap and memory routines (shell/win32/runtime), the system
# DLLs Windows 98 has and libgcc (stack probes); GUI subsystem and OS
# version 4.0; stripped, unused sections dropped, laid out in three sections
# (cmake/runtime-free.ld), no relocations (an .exe
# always loads at its own base), no link time stamp in the header (the same
# sources give the same bytes). Writes <target>.map beside the program; the
# link fails when any object brings a global constructor.
function(raylet_runtime_free_executable target)
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:raylet_runtime>)
  target_link_libraries(${target} PRIVATE raylet_shell_logic user32 advapi32 version kernel32 gcc)
  get_target_property(output_dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT output_dir)
    set(output_dir ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(map ${output_dir}/${target}.map)
  # Named, so the link-time optimizer keeps it: nothing else calls it.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(entry _WinMainCRTStartup)
  else()
    set(entry WinMainCRTStartup)
  endif()
  set(script ${PROJECT_SOURCE_DIR}/cmake/runtime-free.ld)
  target_link_options(${target} PRIVATE -flto=auto ${RAYLET_SIZE_FLAGS} -Wl,-e,${entry} -Wl,-T,${script})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
  target_link_options(${target} PRIVATE -nostdlib -nostartfiles -Wl,--gc-sections -s
                      -Wl,--subsystem,windows:4.0 -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
                      -Wl,--major-os-version,4 -Wl,--minor-os-version,0 -Wl,--file-alignment,512
                      -Wl,--disable-dynamicbase -Wl,--disable-reloc-section -Wl,--no-insert-timestamp
                      -Wl,-Map=${map})
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-constructors.sh ${map}
                     VERBATIM)
endfunction()
