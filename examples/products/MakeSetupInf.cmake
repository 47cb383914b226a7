# Writes a product's Setup.inf from its template with the size of every installed file:
# @SIZE_<name>@ for each name in NAMES (a list separated by "|"; the name's dots as
# underscores), read in FILES.
string(REPLACE "|" ";" names "${NAMES}")
foreach(name IN LISTS names)
  file(SIZE ${FILES}/${name} size)
  string(REPLACE "." "_" key ${name})
  set(SIZE_${key} ${size})
endforeach()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY NEWLINE_STYLE CRLF)
