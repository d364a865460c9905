# Static linking and hardening: for each toolchain the strongest set it takes, each flag tried with
# warnings as errors so that one it rejects is left out; what each binary must show is promised in
# tests/check_hardening. powercalc_hardening holds the compile flags, powercalc_executable_options
# how executables are linked; hardening.txt lists the property each flag taken gives.

add_library(powercalc_hardening INTERFACE)
add_library(powercalc_executable_options INTERFACE)
string(COMPARE EQUAL "${CMAKE_EXECUTABLE_FORMAT}" "ELF" powercalc_elf)
set(powercalc_werror -Werror)
if(MSVC)
  set(powercalc_werror /WX)
endif()

# powercalc_take(COMPILE|LINK <target> <flag>[|<property>]...): gives the target each flag the
# toolchain takes, recorded with the property it gives. A linker only warns of an option it
# ignores, so its warnings are made fatal, as GNU's and LLVM's, Apple's or MSVC's spell it.
function(powercalc_take kind target)
  string(TOLOWER "${kind}" kind)
  set(CMAKE_REQUIRED_FLAGS ${powercalc_werror})
  foreach(fatal IN ITEMS LINKER:--fatal-warnings LINKER:-fatal_warnings /WX "")
    string(MAKE_C_IDENTIFIER "POWERCALC_LINKER_FATAL${fatal}" fatal_warnings)
    check_linker_flag(CXX "${fatal}" ${fatal_warnings})  # the last, nothing, always passes
    if(${fatal_warnings})
      break()
    endif()
  endforeach()
  foreach(flag IN LISTS ARGN)
    string(REPLACE "|" ";" property "${flag}")
    list(POP_FRONT property flag)
    string(MAKE_C_IDENTIFIER "POWERCALC_${kind}_takes${flag}" supported)
    if(kind STREQUAL "compile")
      check_cxx_compiler_flag(${flag} ${supported})
    else()
      check_linker_flag(CXX "${fatal};${flag}" ${supported})
    endif()
    if(${supported})
      cmake_language(CALL target_${kind}_options ${target} INTERFACE ${flag})
      string(REPLACE "LINKER:" "-Wl," flag "${flag}")
      list(APPEND powercalc_${kind}_flags "${flag}")
      list(APPEND powercalc_properties ${property})
    endif()
  endforeach()
  return(PROPAGATE powercalc_compile_flags powercalc_link_flags powercalc_properties)
endfunction()

# True if a program using iostreams builds cleanly with these flags and link options, and `test`
# holds in its preprocessor: so the C and C++ libraries take them.
function(powercalc_check_program result compile_flags link_options test)
  list(JOIN compile_flags " " compile_flags)
  set(CMAKE_REQUIRED_FLAGS "${powercalc_werror} -O2 ${compile_flags}")
  set(CMAKE_REQUIRED_LINK_OPTIONS ${link_options})
  set(CMAKE_REQUIRED_QUIET ON)
  check_cxx_source_compiles("#include <iostream>\n#if !(${test})\n#error not supported\n#endif
int main() { std::cout << 1 << std::endl; }" ${result})
endfunction()

# A run is almost all start-up, mostly loading a shared C++ runtime, and a Windows program that
# needs its toolchain's DLLs runs nowhere else. A static PIE loads nothing, yet lands at random.
if(POWERCALC_STATIC AND MSVC)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")  # the library's too
  list(APPEND powercalc_link_flags "the static runtime (/MT)")
elseif(POWERCALC_STATIC AND WIN32)
  powercalc_take(LINK powercalc_executable_options -static)
elseif(POWERCALC_STATIC AND powercalc_elf)
  powercalc_check_program(POWERCALC_HAVE_STATIC_PIE "-fPIE" -static-pie 1)
  if(POWERCALC_HAVE_STATIC_PIE)
    target_compile_options(powercalc_executable_options INTERFACE -fPIE)  # PIC's -pie would undo it
    target_link_options(powercalc_executable_options INTERFACE -static-pie)
    list(APPEND powercalc_link_flags -static-pie)
    set(powercalc_linkage static-pie)
    # Fewer relocations at start; not for a dynamic program, which it makes need glibc 2.36.
    powercalc_take(LINK powercalc_executable_options LINKER:-z,pack-relative-relocs)
  endif()  # else an ordinary PIE, below
endif()
if((POWERCALC_HARDENING OR POWERCALC_STATIC) AND NOT powercalc_linkage)
  include(CheckPIESupported)
  check_pie_supported()
  set_property(TARGET powercalc_executable_options PROPERTY INTERFACE_POSITION_INDEPENDENT_CODE ON)
  set(powercalc_linkage pie)
endif()
list(PREPEND powercalc_properties ${powercalc_linkage})

if(POWERCALC_HARDENING AND MSVC)
  powercalc_take(COMPILE powercalc_hardening /sdl /guard:cf /GS /Gy)
  powercalc_take(LINK powercalc_executable_options /guard:cf /DYNAMICBASE /HIGHENTROPYVA /NXCOMPAT
                 /CETCOMPAT /OPT:REF /OPT:ICF)
elseif(POWERCALC_HARDENING)
  powercalc_take(COMPILE powercalc_hardening "-fstack-protector-strong|stack-protector")
  # Linked with it too, so that the driver adds libssp where the C library lacks it (mingw-w64).
  powercalc_take(LINK powercalc_executable_options -fstack-protector-strong)
  powercalc_take(COMPILE powercalc_hardening -fstack-clash-protection -mbranch-protection=standard
                 -ffunction-sections -fdata-sections)
  # The C library says what fortification it applies (glibc, Apple's, mingw-w64); it needs the
  # optimiser. No property: the calculator makes no call to a C function that it guards.
  set(fortify -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3)
  powercalc_check_program(POWERCALC_FORTIFIES "${fortify}" ""
                          "__USE_FORTIFY_LEVEL || _USE_FORTIFY_LEVEL || __MINGW_FORTIFY_LEVEL")
  if(POWERCALC_FORTIFIES)
    target_compile_options(powercalc_hardening INTERFACE "$<$<NOT:$<CONFIG:Debug>>:${fortify}>")
    list(APPEND powercalc_compile_flags "-D_FORTIFY_SOURCE=3 (optimised builds)")
  endif()
  # The C++ library's bounds checks, by the macro its version reads: the first test that holds.
  # libc++ 15 writes its version in five digits (15000), later ones in six (160000).
  foreach(test IN ITEMS "defined(__GLIBCXX__)|_GLIBCXX_ASSERTIONS"
                        "_LIBCPP_VERSION >= 180000|_LIBCPP_HARDENING_MODE=_LIBCPP_HARDENING_MODE_FAST"
                        "_LIBCPP_VERSION >= 15000|_LIBCPP_ENABLE_ASSERTIONS=1"
                        "defined(_LIBCPP_VERSION)|_LIBCPP_DEBUG=0")
    string(REPLACE "|" ";" test "${test}")
    list(POP_BACK test macro)
    string(MAKE_C_IDENTIFIER "POWERCALC_LIBRARY_${test}" library_matches)
    powercalc_check_program(${library_matches} "" "" "${test}")
    if(${library_matches})
      target_compile_definitions(powercalc_hardening INTERFACE ${macro})
      list(APPEND powercalc_compile_flags "-D${macro}")
      break()
    endif()
  endforeach()

  if(powercalc_elf)
    powercalc_take(LINK powercalc_executable_options "LINKER:-z,relro|relro" "LINKER:-z,now|bind-now"
                   "LINKER:-z,noexecstack|noexecstack" LINKER:--gc-sections)
    # x86's control-flow protection lands only if every object linked is marked for it: one
    # unmarked start file (Debian 12's) and the linker drops it. So it is taken only where a
    # program linked like the calculator keeps it, and the calculator is linked to fail without.
    set(cet_report LINKER:-z,cet-report=error)
    string(MAKE_C_IDENTIFIER "POWERCALC_CET_LANDS_${powercalc_linkage}" cet_lands)
    powercalc_check_program(${cet_lands} "-fcf-protection=full;-fPIE"
                            "-${powercalc_linkage};${cet_report}" 1)
    if(${cet_lands})
      target_compile_options(powercalc_hardening INTERFACE -fcf-protection=full)
      target_link_options(powercalc_executable_options INTERFACE ${cet_report})
      list(APPEND powercalc_compile_flags -fcf-protection=full)
      list(APPEND powercalc_properties cet)
    endif()
  elseif(WIN32)
    powercalc_take(LINK powercalc_executable_options LINKER:--dynamicbase LINKER:--nxcompat
                   LINKER:--high-entropy-va LINKER:--gc-sections)
  elseif(APPLE)
    powercalc_take(LINK powercalc_executable_options LINKER:-dead_strip)
  endif()
endif()

list(JOIN powercalc_properties "\n" lines)
file(WRITE "${PROJECT_BINARY_DIR}/hardening.txt" "${lines}\n")  # an ELF binary's properties
foreach(list IN ITEMS compile_flags link_flags properties)
  list(JOIN powercalc_${list} ", " text)
  string(REPLACE "_" " " label "${list}")
  if(text)
    message(STATUS "The calculator's ${label}: ${text}")
  endif()
endforeach()
