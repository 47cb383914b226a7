# The installed layout: programs in bin/, the client libraries and the programs' private
# libraries in lib/kestrel/ (the client's library names are the Windows client's, which have
# no place in the system's own library folder), documentation and examples in share/. Tests
# and benchmarks are not installed.
set(KESTREL_INSTALL_BINDIR bin)
set(KESTREL_INSTALL_LIBDIR lib/kestrel)
set(KESTREL_INSTALL_DOCDIR share/doc/kestrel-suite)
set(KESTREL_INSTALL_EXAMPLEDIR share/kestrel-suite/examples)

set(kestrel_installed_programs kestrelscope kestrelscope-classic quillbox setup nwdir rmviewer)
set(kestrel_installed_libraries nwclient calwin32 netwin32 clxwin32 locwin32 quillbox_qt)

# Run paths. Installed, programs find the libraries in $ORIGIN/../lib/kestrel and the libraries
# each other beside themselves. quillbox is also copied into a viewer's folder as WVIEWNT.EXE,
# where $ORIGIN leads nowhere, so its run path names the installation's library folder by its
# absolute path too; that path is known only when the install runs (cmake --install --prefix,
# a package's staging).
# So the install writes every run path itself, in place (InstalledRunPath.cmake), over the
# build tree's, which leaves room for it: the libraries beside bin/ and the build tree's lib/,
# and for quillbox a placeholder as long as the longest library folder allowed. CMake's own
# rewrite is not used: it pads the build tree's run paths with empty entries, which the
# dynamic linker takes for the current directory.
string(REPEAT "_" 200 kestrel_prefix_room)
set(kestrel_runpath_placeholder "/kestrel-install-prefix${kestrel_prefix_room}")
foreach(target IN LISTS kestrel_installed_programs kestrel_installed_libraries)
  get_target_property(runpath ${target} BUILD_RPATH)
  list(APPEND runpath "${CMAKE_BINARY_DIR}/lib")
  if(target STREQUAL quillbox)
    list(APPEND runpath "${kestrel_runpath_placeholder}")
  endif()
  list(REMOVE_DUPLICATES runpath)
  set_target_properties(${target} PROPERTIES BUILD_WITH_INSTALL_RPATH ON INSTALL_RPATH "${runpath}")
endforeach()

list(TRANSFORM kestrel_installed_programs REPLACE "(.+)" "$<TARGET_FILE_NAME:\\1>"
     OUTPUT_VARIABLE kestrel_programs)
list(TRANSFORM kestrel_installed_libraries REPLACE "(.+)" "$<TARGET_FILE_NAME:\\1>"
     OUTPUT_VARIABLE kestrel_libraries)
string(LENGTH "${kestrel_runpath_placeholder}" kestrel_libdir_room)
set(kestrel_runpath_step "
  set(KESTREL_BINDIR \"${KESTREL_INSTALL_BINDIR}\")
  set(KESTREL_LIBDIR \"${KESTREL_INSTALL_LIBDIR}\")
  set(KESTREL_PROGRAMS \"${kestrel_programs}\")
  set(KESTREL_LIBRARIES \"${kestrel_libraries}\")
  set(KESTREL_COPIED_PROGRAM \"$<TARGET_FILE_NAME:quillbox>\")
  set(KESTREL_LIBDIR_ROOM ${kestrel_libdir_room})
  include(\"${CMAKE_CURRENT_LIST_DIR}/InstalledRunPath.cmake\")")

install(CODE "set(KESTREL_CHECK_ONLY TRUE) ${kestrel_runpath_step}")
install(TARGETS ${kestrel_installed_programs} RUNTIME DESTINATION ${KESTREL_INSTALL_BINDIR})
install(TARGETS ${kestrel_installed_libraries} LIBRARY DESTINATION ${KESTREL_INSTALL_LIBDIR})
install(CODE "set(KESTREL_CHECK_ONLY FALSE) ${kestrel_runpath_step}")

# The Windows programs beside the libraries: the registry helper, and setup's starter, which
# is told where the installed setup is.
foreach(program IN ITEMS "${KESTREL_REGISTRY_HELPER}" "${KESTREL_SETUP_STARTER}")
  if(program)
    install(PROGRAMS ${program} DESTINATION ${KESTREL_INSTALL_LIBDIR})
  endif()
endforeach()
if(KESTREL_SETUP_STARTER)
  install(CODE "
    get_filename_component(prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    set(FILE \"\$ENV{DESTDIR}\${prefix}/${KESTREL_INSTALL_LIBDIR}/kestrel-setup.exe\")
    set(PROGRAM \"\${prefix}/${KESTREL_INSTALL_BINDIR}/setup\")
    include(\"${PROJECT_SOURCE_DIR}/setup/windows/RecordSetupProgram.cmake\")")
endif()

# README.md links docs/ beside it, so both keep their places.
install(FILES README.md DESTINATION ${KESTREL_INSTALL_DOCDIR})
install(DIRECTORY docs DESTINATION ${KESTREL_INSTALL_DOCDIR})
install(DIRECTORY examples/directory DESTINATION ${KESTREL_INSTALL_EXAMPLEDIR}
        USE_SOURCE_PERMISSIONS)
