# Runs at install time: writes the installed run paths over the build tree's, in place.
#   KESTREL_BINDIR, KESTREL_LIBDIR  the folders of programs and libraries in the prefix
#   KESTREL_PROGRAMS                the programs' file names: $ORIGIN/../<libdir>
#   KESTREL_LIBRARIES               the libraries' file names: $ORIGIN
#   KESTREL_COPIED_PROGRAM          the one program that also names <prefix>/<libdir>
#   KESTREL_LIBDIR_ROOM             how long that path may be
#   KESTREL_CHECK_ONLY              TRUE before anything is installed: only refuse a prefix
#                                   too long for that room
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
set(libdir "${prefix}/${KESTREL_LIBDIR}")
string(LENGTH "${libdir}" length)
if(length GREATER KESTREL_LIBDIR_ROOM)
  message(FATAL_ERROR "The install prefix ${prefix} is too long: ${KESTREL_COPIED_PROGRAM} "
                      "keeps at most ${KESTREL_LIBDIR_ROOM} bytes for the path of its library "
                      "folder ${libdir}")
endif()
if(KESTREL_CHECK_ONLY)
  return()
endif()

function(set_runpath file runpath)
  file(RPATH_SET FILE "$ENV{DESTDIR}${prefix}/${file}" NEW_RPATH "${runpath}")
endfunction()

file(RELATIVE_PATH up "/${KESTREL_BINDIR}" "/${KESTREL_LIBDIR}")
foreach(program IN LISTS KESTREL_PROGRAMS)
  if(program STREQUAL KESTREL_COPIED_PROGRAM)
    set_runpath("${KESTREL_BINDIR}/${program}" "\$ORIGIN/${up}:${libdir}")
  else()
    set_runpath("${KESTREL_BINDIR}/${program}" "\$ORIGIN/${up}")
  endif()
endforeach()
foreach(library IN LISTS KESTREL_LIBRARIES)
  set_runpath("${KESTREL_LIBDIR}/${library}" "\$ORIGIN")
endforeach()
