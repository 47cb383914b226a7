#!/usr/bin/env bash
# Makes the Debian package with scripts/package and looks into it: its control fields, its
# files, and nwdir run from the unpacked package.
#   debian-package.sh SOURCE_DIR BUILD_DIR VERSION
set -euo pipefail
source_dir=$(realpath "$1")
build=$(realpath "$2")
version=$3
source "$(dirname "$0")/checks.sh"
keep_install_manifest "$build"
isolate_user

if ! made=$(BUILD_DIR="$build" bash "$source_dir/scripts/package" "$work/out" 2>"$work/package.err"); then
  fail "scripts/package: $(cat "$work/package.err")"
  finish
fi
deb="$work/out/kestrel-suite_${version}_amd64.deb"
expect_equal "the package made" "$made" "$deb"
expect_equal "what scripts/package left" "$(names_in "$work/out")" "$(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
expect_equal "Package" "$(field Package)" "kestrel-suite"
expect_equal "Version" "$(field Version)" "$version"
expect_equal "Architecture" "$(field Architecture)" "amd64"
[[ -n "$(field Maintainer)" ]] || fail "the package has no maintainer"
[[ -n "$(field Description)" ]] || fail "the package has no description"
depends=$(field Depends)
for package in libc6 libstdc++6 libqt6widgets6 libcrypt1; do
  expect_text "Depends" "$depends" "$package"
done

# Files: the installed layout under /usr, owned by root, nothing else.
contents=$(dpkg-deb --contents "$deb")
expect_equal "owners in the package" "$(awk '{print $2}' <<<"$contents" | sort -u)" "root/root"
paths=$(awk '{print $6}' <<<"$contents")
outside=$(grep -vE '^\./usr/$|^\./usr/bin/|^\./usr/lib/$|^\./usr/lib/kestrel/|^\./usr/share/$|^\./usr/share/doc/$|^\./usr/share/doc/kestrel-suite/|^\./usr/share/kestrel-suite/' <<<"$paths" || true)
expect_equal "paths outside the layout" "$outside" ""
for file in bin/quillbox bin/nwdir bin/setup bin/kestrelscope bin/kestrelscope-classic \
  lib/kestrel/libcalwin32.so lib/kestrel/libnwclient.so lib/kestrel/libquillbox_qt.so \
  share/doc/kestrel-suite/README.md share/kestrel-suite/examples/directory/sample.json; do
  expect_line "files in the package" "$paths" "./usr/$file"
done

# Unpacked anywhere, the programs run; a copied quillbox would look in /usr/lib/kestrel.
dpkg-deb --extract "$deb" "$work/root"
expect_equal "run path of quillbox" "$(runpath_of "$work/root/usr/bin/quillbox")" \
  "\$ORIGIN/../lib/kestrel:/usr/lib/kestrel"
export NWCLIENT_CONFIG="$work/root/usr/share/kestrel-suite/examples/directory/nwclient.ini"
if trees=$("$work/root/usr/bin/nwdir" trees 2>"$work/nwdir.err"); then
  expect_line "nwdir trees" "$trees" "ACME_TREE"
else
  fail "nwdir from the unpacked package: $(cat "$work/nwdir.err")"
fi

finish
