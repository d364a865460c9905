# Hardening and static linking: for each toolchain, the strongest set it supports. Every flag is
# tried at configure time with warnings as errors, so that a flag the toolchain rejects, or takes
# only to ignore, is left out instead of breaking the build.
#
# powercalc_hardening        compile flags, for everything that goes into the calculator
# powercalc_executable_link  how executables are linked: the calculator and its start-up floor
#
# What the linked calculator is then promised to be is written, a property a line, to
# hardening.txt in the build folder, where tests/check_hardening reads it.

include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)

add_library(powercalc_hardening INTERFACE)
add_library(powercalc_executable_link INTERFACE)

if(CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC")
  set(powercalc_msvc_like TRUE)
  set(powercalc_werror /WX)
else()
  set(powercalc_msvc_like FALSE)
  set(powercalc_werror -Werror)
endif()

function(powercalc_compile_if_supported target)
  set(CMAKE_REQUIRED_FLAGS ${powercalc_werror})
  foreach(flag IN LISTS ARGN)
    string(MAKE_C_IDENTIFIER "POWERCALC_COMPILES${flag}" supported)
    check_cxx_compiler_flag(${flag} ${supported})
    if(${supported})
      target_compile_options(${target} INTERFACE ${flag})
    endif()
  endforeach()
endfunction()

# A linker only warns of an option it ignores: where it can, that warning fails the check too.
# GNU ld, gold, lld and mold spell it one way, Apple's ld another, MSVC's link a third. Looked for
# only where a link option is checked; the checks' cached results make later looks free.
function(powercalc_find_fatal_link_warnings)
  foreach(candidate IN ITEMS LINKER:--fatal-warnings LINKER:-fatal_warnings /WX)
    string(MAKE_C_IDENTIFIER "POWERCALC_LINKER_FATAL${candidate}" fatal_warnings)
    check_linker_flag(CXX ${candidate} ${fatal_warnings})
    if(${fatal_warnings})
      set(powercalc_fatal_link_warnings ${candidate} PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

function(powercalc_link_if_supported target)
  powercalc_find_fatal_link_warnings()
  set(CMAKE_REQUIRED_FLAGS ${powercalc_werror})
  foreach(flag IN LISTS ARGN)
    string(MAKE_C_IDENTIFIER "POWERCALC_LINKS${flag}" supported)
    check_linker_flag(CXX "${powercalc_fatal_link_warnings};${flag}" ${supported})
    if(${supported})
      target_link_options(${target} INTERFACE ${flag})
    endif()
  endforeach()
endfunction()

# True if a program that writes with iostreams builds cleanly with these compile flags and link
# options, and `test` holds in its preprocessor: so the C and C++ libraries can take them.
function(powercalc_check_program result compile_flags link_options test)
  list(JOIN compile_flags " " compile_flags)
  set(CMAKE_REQUIRED_FLAGS "${powercalc_werror} -O2 ${compile_flags}")
  set(CMAKE_REQUIRED_LINK_OPTIONS ${link_options})
  set(CMAKE_REQUIRED_QUIET ON)
  check_cxx_source_compiles("#include <iostream>\n#if !(${test})\n#error not supported\n#endif
int main() { std::cout << 1 << std::endl; }" ${result})
endfunction()

# ---- Hardening ----

if(POWERCALC_HARDENING AND powercalc_msvc_like)
  powercalc_compile_if_supported(powercalc_hardening /sdl /guard:cf /GS /Gy)
  powercalc_link_if_supported(powercalc_executable_link /guard:cf /DYNAMICBASE /HIGHENTROPYVA
                              /NXCOMPAT /CETCOMPAT /OPT:REF /OPT:ICF)
elseif(POWERCALC_HARDENING)
  # -mbranch-protection is ARM's control-flow protection; x86's, -fcf-protection, is decided
  # below, once it is known how the calculator links.
  powercalc_compile_if_supported(
    powercalc_hardening -fstack-protector-strong -fstack-clash-protection
    -mbranch-protection=standard -ffunction-sections -fdata-sections)
  # Named when linking too: where the C library lacks the protector's runtime (mingw-w64), the
  # compiler driver then links libssp.
  if(POWERCALC_COMPILES_fstack_protector_strong)
    target_link_options(powercalc_executable_link INTERFACE -fstack-protector-strong)
  endif()

  # Checked against the libraries, which ignore what they do not know: glibc, Apple's libc and
  # mingw-w64 each announce the fortification level they apply.
  set(fortify -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3)
  powercalc_check_program(
    POWERCALC_FORTIFIES "${fortify}" ""
    "__USE_FORTIFY_LEVEL > 0 || _USE_FORTIFY_LEVEL > 0 || __MINGW_FORTIFY_LEVEL > 0")
  if(POWERCALC_FORTIFIES)
    # It needs the optimiser: a debug build would only be warned.
    target_compile_options(powercalc_hardening INTERFACE "$<$<NOT:$<CONFIG:Debug>>:${fortify}>")
  endif()
  powercalc_check_program(POWERCALC_LIBSTDCXX "" "" "defined(__GLIBCXX__)")
  powercalc_check_program(POWERCALC_LIBCXX_HARDENING_MODES "" "" "_LIBCPP_VERSION >= 180000")
  powercalc_check_program(POWERCALC_LIBCXX "" "" "defined(_LIBCPP_VERSION)")
  if(POWERCALC_LIBSTDCXX)
    target_compile_definitions(powercalc_hardening INTERFACE _GLIBCXX_ASSERTIONS)
  elseif(POWERCALC_LIBCXX_HARDENING_MODES)
    target_compile_definitions(powercalc_hardening
                               INTERFACE _LIBCPP_HARDENING_MODE=_LIBCPP_HARDENING_MODE_FAST)
  elseif(POWERCALC_LIBCXX)
    target_compile_definitions(powercalc_hardening INTERFACE _LIBCPP_ENABLE_ASSERTIONS=1)
  endif()

  if(CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
    powercalc_link_if_supported(
      powercalc_executable_link LINKER:-z,relro LINKER:-z,now LINKER:-z,noexecstack
      LINKER:--gc-sections)
  elseif(WIN32)
    powercalc_link_if_supported(powercalc_executable_link LINKER:--dynamicbase LINKER:--nxcompat
                                LINKER:--high-entropy-va LINKER:--gc-sections)
  elseif(APPLE)
    powercalc_link_if_supported(powercalc_executable_link LINKER:-dead_strip)
  endif()
endif()

# ---- Static linking ----

# A run is almost all process start-up, and loading a shared C++ runtime is most of that; a
# Windows program that needs the toolchain's DLLs does not start on a machine without them. A
# static PIE loads nothing and keeps address-space randomisation.
if(POWERCALC_STATIC AND WIN32 AND NOT powercalc_msvc_like)
  powercalc_check_program(POWERCALC_LINKS_STATIC "" -static 1)
  if(POWERCALC_LINKS_STATIC)
    target_link_options(powercalc_executable_link INTERFACE -static)
  endif()
elseif(POWERCALC_STATIC AND CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
  powercalc_check_program(POWERCALC_HAVE_STATIC_PIE "-fPIE" -static-pie 1)
  if(POWERCALC_HAVE_STATIC_PIE)
    # Not through POSITION_INDEPENDENT_CODE, whose -pie would undo -static-pie.
    target_compile_options(powercalc_executable_link INTERFACE -fPIE)
    target_link_options(powercalc_executable_link INTERFACE -static-pie)
    set(linkage static-pie)
    # Fewer relocations to apply at start. Only here: a dynamic program packed so needs a C
    # library of 2.36 or newer, which dpkg-shlibdeps does not know to ask for.
    powercalc_link_if_supported(powercalc_executable_link LINKER:-z,pack-relative-relocs)
  else()
    message(WARNING "This toolchain cannot link a static PIE; linking an ordinary PIE instead.")
  endif()
endif()

if((POWERCALC_HARDENING OR POWERCALC_STATIC) AND NOT linkage STREQUAL "static-pie")
  include(CheckPIESupported)
  check_pie_supported()
  set_property(TARGET powercalc_executable_link PROPERTY INTERFACE_POSITION_INDEPENDENT_CODE ON)
  set(linkage pie)
endif()

# x86's control-flow protection lands only if every object in the link is marked for it; one
# unmarked start file (Debian 12's are) and the linker quietly drops the property. So the flag
# is taken only where a program linked like the calculator keeps it, and the calculator is then
# linked so that losing it fails the build.
if(POWERCALC_HARDENING AND NOT powercalc_msvc_like AND CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
  set(cet_report LINKER:-z,cet-report=error)
  string(MAKE_C_IDENTIFIER "POWERCALC_CET_LANDS_${linkage}" cet_lands)
  powercalc_check_program(${cet_lands} "-fcf-protection=full;-fPIE" "-${linkage};${cet_report}" 1)
  if(${cet_lands})
    set(POWERCALC_CET_LANDS ON)
    target_compile_options(powercalc_hardening INTERFACE -fcf-protection=full)
    target_link_options(powercalc_executable_link INTERFACE ${cet_report})
  endif()
endif()

# ---- What the calculator is promised to be ----

# Each ELF property whose flag was taken; tests/check_hardening finds each in the binary.
# Fortification is not among them: it rewrites only direct calls to guarded C library functions,
# and the calculator makes none (the C++ library's copies bypass it), so the binary cannot show
# it. The flag stays for whatever call a later change adds.
set(claims "")
if(CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
  set(claims ${linkage})
endif()
foreach(property_and_flag IN ITEMS "relro;POWERCALC_LINKSLINKER__z_relro"
                                   "bind-now;POWERCALC_LINKSLINKER__z_now"
                                   "noexecstack;POWERCALC_LINKSLINKER__z_noexecstack"
                                   "stack-protector;POWERCALC_COMPILES_fstack_protector_strong"
                                   "cet;POWERCALC_CET_LANDS")
  list(GET property_and_flag 0 property)
  list(GET property_and_flag 1 taken)
  if(POWERCALC_HARDENING AND CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF" AND ${taken})
    list(APPEND claims ${property})
  endif()
endforeach()
list(JOIN claims "\n" lines)
file(WRITE "${PROJECT_BINARY_DIR}/hardening.txt" "${lines}\n")

if(POWERCALC_HARDENING OR POWERCALC_STATIC)
  get_target_property(compile_options powercalc_hardening INTERFACE_COMPILE_OPTIONS)
  get_target_property(definitions powercalc_hardening INTERFACE_COMPILE_DEFINITIONS)
  get_target_property(link_options powercalc_executable_link INTERFACE_LINK_OPTIONS)
  list(JOIN compile_options " " compile_options)
  list(JOIN link_options " " link_options)
  list(JOIN claims ", " claims)
  message(STATUS "Hardening the calculator with: ${compile_options} ${definitions}")
  message(STATUS "Linking the calculator with: ${link_options}")
  message(STATUS "The calculator will be: ${claims}")
endif()
