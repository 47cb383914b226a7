# The installed layout: programs in bin/, the client libraries and the programs' private
# libraries in lib/kestrel/ (the client's library names are the Windows client's, which have
# no place in the system's own library folder), documentation and examples in share/. Tests
# and benchmarks are not installed.
set(KESTREL_INSTALL_BINDIR bin)
set(KESTREL_INSTALL_LIBDIR lib/kestrel)
set(KESTREL_INSTALL_DOCDIR share/doc/kestrel-suite)
set(KESTREL_INSTALL_EXAMPLEDIR share/kestrel-suite/examples)

# Programs find the libraries through $ORIGIN/../lib/kestrel (the top level sets it before
# any target exists); the libraries find each other beside themselves.
set(kestrel_installed_libraries nwclient calwin32 netwin32 clxwin32 locwin32 quillbox_qt)
set_target_properties(${kestrel_installed_libraries} PROPERTIES INSTALL_RPATH "\$ORIGIN")

# quillbox is copied into a viewer's folder as WVIEWNT.EXE, where $ORIGIN leads nowhere: its
# run path also names this installation's library folder by its absolute path. That path is
# known only when the install runs (cmake --install --prefix, a package's staging), so the
# program is linked with a placeholder as long as the longest prefix allowed, and the install
# writes the real folder over it in place. A prefix too long for it is refused before anything
# is installed.
string(REPEAT "_" 200 kestrel_prefix_room)
set(KESTREL_RUNPATH_PLACEHOLDER "/kestrel-install-prefix${kestrel_prefix_room}")
set_target_properties(quillbox PROPERTIES
  INSTALL_RPATH "\$ORIGIN/../${KESTREL_INSTALL_LIBDIR};${KESTREL_RUNPATH_PLACEHOLDER}")
set(kestrel_runpath_step "
  set(KESTREL_PROGRAM \"${KESTREL_INSTALL_BINDIR}/$<TARGET_FILE_NAME:quillbox>\")
  set(KESTREL_LIBDIR \"${KESTREL_INSTALL_LIBDIR}\")
  set(KESTREL_RUNPATH_PLACEHOLDER \"${KESTREL_RUNPATH_PLACEHOLDER}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/InstalledRunPath.cmake\")")
install(CODE "set(KESTREL_CHECK_ONLY TRUE) ${kestrel_runpath_step}")

install(TARGETS kestrelscope kestrelscope-classic quillbox setup nwdir rmviewer
        RUNTIME DESTINATION ${KESTREL_INSTALL_BINDIR})
install(TARGETS ${kestrel_installed_libraries}
        LIBRARY DESTINATION ${KESTREL_INSTALL_LIBDIR})
install(CODE "set(KESTREL_CHECK_ONLY FALSE) ${kestrel_runpath_step}")

# README.md links docs/ beside it, so both keep their places.
install(FILES README.md DESTINATION ${KESTREL_INSTALL_DOCDIR})
install(DIRECTORY docs DESTINATION ${KESTREL_INSTALL_DOCDIR})
install(DIRECTORY examples/directory DESTINATION ${KESTREL_INSTALL_EXAMPLEDIR}
        USE_SOURCE_PERMISSIONS)
