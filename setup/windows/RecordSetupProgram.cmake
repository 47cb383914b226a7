# Writes where the installer program lies at the end of kestrel-setup.exe, which hands its runs
# over to it; the last such line counts, so an installation's follows the build tree's.
#   FILE     kestrel-setup.exe
#   PROGRAM  the setup program's absolute path
file(APPEND "${FILE}" "\n#kestrel-setup-program=${PROGRAM}\n")
