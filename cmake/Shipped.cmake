# Flags for code that ships in rayctl.exe. It must run without a C runtime on
# Windows 98: no exceptions, no RTTI, no thread-safe statics, no unwind tables.
set(RAYLET_WARNINGS -Wall -Wextra -Wshadow -Wnon-virtual-dtor)

function(raylet_shipped target)
  target_compile_options(${target} PRIVATE ${RAYLET_WARNINGS} -fno-exceptions
                         -fno-threadsafe-statics)
  if(WIN32)
    target_compile_options(${target} PRIVATE -fno-rtti -fno-asynchronous-unwind-tables)
    target_compile_definitions(${target} PUBLIC WINVER=0x0400 _WIN32_WINDOWS=0x0410
                               _WIN32_WINNT=0x0400 WIN32_LEAN_AND_MEAN)
  endif()
endfunction()
