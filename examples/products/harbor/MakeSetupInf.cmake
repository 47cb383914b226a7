# Writes Setup.inf from its template with the size of every installed file
# (@SIZE_<name>@ with the file name's dots as underscores).
foreach(name HARBOR.EXE HARBOR.DLL README.TXT DejaVuSans.ttf)
  file(SIZE ${FILES}/${name} size)
  string(REPLACE "." "_" key ${name})
  set(SIZE_${key} ${size})
endforeach()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY NEWLINE_STYLE CRLF)
