#!/usr/bin/env bash
# Installs the built tree into a temporary prefix and uses the suite from there as a user
# would: the layout, the run paths, nwdir against the installed sample directory, setup's
# usage, and quillbox copied into a viewer's folder under the viewer's name.
#   installed-suite.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
source "$(dirname "$0")/checks.sh"
keep_install_manifest "$build"
isolate_user

prefix="$work/prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  fail "cmake --install into $prefix"
  finish
fi

# The layout: nothing but the programs, their libraries, documentation and examples.
programs=$'kestrelscope\nkestrelscope-classic\nnwdir\nquillbox\nrmviewer\nsetup'
libraries=$'libcalwin32.so\nlibclxwin32.so\nliblocwin32.so\nlibnetwin32.so\nlibnwclient.so\nlibquillbox_qt.so'
# The Windows programs beside them, where the build had the cross compiler.
windows_programs=
if [[ -f "$build/lib/kestrel-registry.exe" ]]; then
  windows_programs=$'kestrel-registry.exe\nkestrel-setup.exe\n'
fi
expect_equal "the prefix" "$(names_in "$prefix")" $'bin\nlib\nshare'
expect_equal "bin/" "$(names_in "$prefix/bin")" "$programs"
expect_equal "lib/" "$(names_in "$prefix/lib")" "kestrel"
expect_equal "lib/kestrel/" "$(names_in "$prefix/lib/kestrel")" "$windows_programs$libraries"
if [[ -n $windows_programs ]]; then
  # setup's Windows starter hands over to the installed setup, not the build tree's.
  expect_equal "the program kestrel-setup.exe starts" \
    "$(tail -c 4096 "$prefix/lib/kestrel/kestrel-setup.exe" | tr -d '\0' |
       sed -n 's/^#kestrel-setup-program=//p' | tail -n 1)" "$prefix/bin/setup"
fi
expect_equal "share/" "$(names_in "$prefix/share")" $'doc\nkestrel-suite'
for file in doc/kestrel-suite/README.md doc/kestrel-suite/docs/directory-file.md \
  kestrel-suite/examples/directory/sample.json kestrel-suite/examples/directory/nwclient.ini; do
  [[ -f "$prefix/share/$file" ]] || fail "share/$file is missing"
done
[[ -x "$prefix/share/kestrel-suite/examples/directory/generate.py" ]] ||
  fail "the example generator lost its execute bit"

# Run paths lead into the installation and never back into the build tree.
while read -r program; do
  runpath=$(runpath_of "$prefix/bin/$program")
  if [[ $program == quillbox ]]; then
    expect_equal "run path of $program" "$runpath" "\$ORIGIN/../lib/kestrel:$prefix/lib/kestrel"
  else
    expect_equal "run path of $program" "$runpath" "\$ORIGIN/../lib/kestrel"
  fi
done <<<"$programs"
while read -r library; do
  expect_equal "run path of $library" "$(runpath_of "$prefix/lib/kestrel/$library")" "\$ORIGIN"
done <<<"$libraries"

# The build tree's own run paths carry no empty entry, which would mean the current directory.
for file in "$build"/bin/* "$build"/lib/*.so; do
  runpath=$(runpath_of "$file")
  expect_no_text "run path of $file in the build tree" ":$runpath:" "::"
done

# Installing again over the same prefix changes nothing.
if cmake --install "$build" --prefix "$prefix" >"$work/again.log" 2>&1; then
  expect_equal "run path of quillbox installed twice" "$(runpath_of "$prefix/bin/quillbox")" \
    "\$ORIGIN/../lib/kestrel:$prefix/lib/kestrel"
else
  fail "a second install into the same prefix: $(cat "$work/again.log")"
fi

# A prefix longer than quillbox keeps room for is refused before anything is installed.
long="$work/$(printf 'p%.0s' {1..240})"
if cmake --install "$build" --prefix "$long" >"$work/long.log" 2>&1; then
  fail "an install into a prefix of ${#long} bytes succeeded"
else
  expect_text "install into a long prefix" "$(cat "$work/long.log")" "is too long"
fi
[[ ! -e "$long" ]] || fail "a refused install left $(find "$long" | wc -l) files behind"

# nwdir from anywhere, against the installed sample directory.
export NWCLIENT_CONFIG="$prefix/share/kestrel-suite/examples/directory/nwclient.ini"
mkdir -p "$work/elsewhere"
cd "$work/elsewhere"
if trees=$(traced nwdir "$prefix/bin/nwdir" trees 2>"$work/nwdir.err"); then
  expect_line "nwdir trees" "$trees" "ACME_TREE"
  expect_line "nwdir trees" "$trees" "GLOBEX_TREE"
else
  fail "nwdir trees: $(cat "$work/nwdir.err")"
fi
expect_line "libraries of nwdir" "$(loaded_by nwdir)" "$(realpath "$prefix/lib/kestrel/libnwclient.so")"
expect_no_text "libraries of nwdir" "$(loaded_by nwdir)" "$build/"

# setup /? on the console: the usage, and nothing made (no Wine prefix, no file anywhere).
mkdir -p "$work/setup-here"
cd "$work/setup-here"
if usage=$("$prefix/bin/setup" '/?' 2>&1); then
  expect_text "setup /?" "$usage" "Usage: Setup"
else
  fail "setup /? exited with $?: $usage"
fi
[[ ! -e "$WINEPREFIX" ]] || fail "setup /? made the Wine prefix $WINEPREFIX"
expect_equal "what setup /? left in its folder" "$(names_in "$work/setup-here")" ""
expect_equal "what setup /? left in the home" "$(names_in "$HOME")" ""

# quillbox copied into a viewer's folder as WVIEWNT.EXE finds its libraries, including the
# Qt front end, through the installation, and records a session.
viewer="$work/zen"
mkdir -p "$viewer"
cp "$prefix/bin/quillbox" "$viewer/WVIEWNT.EXE"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s/viewer-arguments"\n' "$viewer" >"$viewer/WVIEWNT0.EXE"
chmod +x "$viewer/WVIEWNT0.EXE"
cd "$work/elsewhere"
if QT_QPA_PLATFORM=offscreen traced quillbox "$viewer/WVIEWNT.EXE" -wWS17.Sales.Acme \
  "-cRemote Control" -nACME_TREE >"$work/quillbox.out" 2>"$work/quillbox.err"; then
  expect_no_text "quillbox's messages" "$(cat "$work/quillbox.err")" "no windows"
  expect_text "what the viewer was given" "$(cat "$viewer/viewer-arguments" 2>/dev/null)" \
    "WS17.Sales.Acme"
  [[ -s "$viewer/Quillbox.CS0" ]] || fail "quillbox wrote no start log beside WVIEWNT.EXE"
else
  fail "quillbox exited with $?: $(cat "$work/quillbox.err")"
fi
quillbox_libraries=$(loaded_by quillbox)
expect_line "libraries of quillbox" "$quillbox_libraries" \
  "$(realpath "$prefix/lib/kestrel/libquillbox_qt.so")"
expect_line "libraries of quillbox" "$quillbox_libraries" \
  "$(realpath "$prefix/lib/kestrel/libnetwin32.so")"
expect_no_text "libraries of quillbox" "$quillbox_libraries" "$build/"

finish
