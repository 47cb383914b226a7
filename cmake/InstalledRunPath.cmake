# Runs at install time: replaces the run path placeholder an installed program was linked with
# by the absolute library folder of this installation.
#   KESTREL_PROGRAM              the program, relative to the install prefix
#   KESTREL_LIBDIR               the library folder, relative to the install prefix
#   KESTREL_RUNPATH_PLACEHOLDER  the placeholder in the program's run path
#   KESTREL_CHECK_ONLY           TRUE before anything is installed: only refuse a prefix too
#                                long for the placeholder's room
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(program "$ENV{DESTDIR}${prefix}/${KESTREL_PROGRAM}")
set(folder "${prefix}/${KESTREL_LIBDIR}")

string(LENGTH "${KESTREL_RUNPATH_PLACEHOLDER}" room)
string(LENGTH "${folder}" length)
if(length GREATER room)
  message(FATAL_ERROR "The install prefix ${prefix} is too long: ${KESTREL_PROGRAM} keeps "
                      "at most ${room} bytes for the path of its library folder ${folder}")
endif()
if(KESTREL_CHECK_ONLY)
  return()
endif()

file(READ_ELF "${program}" RUNPATH runpath RPATH rpath CAPTURE_ERROR problem)
if(problem)
  message(FATAL_ERROR "Cannot read the run path of ${program}: ${problem}")
endif()
if(NOT runpath)
  set(runpath "${rpath}")  # linked with the older tag
endif()
string(FIND "${runpath}" "${KESTREL_RUNPATH_PLACEHOLDER}" at)
if(at EQUAL -1)
  # Installed before and unchanged since: the run path is already this installation's.
  string(FIND "${runpath}" "${folder}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "The run path of ${program} (${runpath}) holds neither this "
                        "installation's library folder ${folder} nor the placeholder for it")
  endif()
  return()
endif()

file(RPATH_CHANGE FILE "${program}" OLD_RPATH "${KESTREL_RUNPATH_PLACEHOLDER}"
     NEW_RPATH "${folder}")
