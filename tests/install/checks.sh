# What the install tests share: a temporary folder removed at exit, a user of its own there
# (home, XDG places, Windows profile, Wine prefix), and checks that report each failure and
# go on, so that one run shows everything that is wrong.

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-install-XXXXXX")
manifest=""
failures=0

# An install writes its list of files into the build tree, where a user's own install keeps
# the list it uninstalls by: the tests put it back as it was.
keep_install_manifest() {
  manifest="$1/install_manifest.txt"
  if [[ -e "$manifest" ]]; then cp -p "$manifest" "$work/install_manifest.txt"; fi
}
clean_up() {
  if [[ -n "$manifest" ]]; then
    if [[ -e "$work/install_manifest.txt" ]]; then
      cp -p "$work/install_manifest.txt" "$manifest"
    else
      rm -f "$manifest"
    fi
  fi
  rm -rf "$work"
}
trap clean_up EXIT

isolate_user() {
  export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
    XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime" \
    USERPROFILE="$work/profile" WINEPREFIX="$work/wine" TZ=UTC
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM NWCLIENT_CONFIG
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect_equal WHAT ACTUAL EXPECTED
expect_equal() {
  [[ "$2" == "$3" ]] || fail "$1: got [$2], expected [$3]"
}

# expect_line WHAT TEXT LINE: TEXT has LINE as one of its lines.
expect_line() {
  grep -qxF -- "$3" <<<"$2" || fail "$1: no line [$3] in:"$'\n'"$2"
}

# expect_text WHAT TEXT PART: PART occurs in TEXT.
expect_text() {
  grep -qF -- "$3" <<<"$2" || fail "$1: no [$3] in:"$'\n'"$2"
}

# expect_no_text WHAT TEXT PART
expect_no_text() {
  if grep -qF -- "$3" <<<"$2"; then fail "$1: unexpected [$3] in:"$'\n'"$2"; fi
}

# The names in a folder, one a line, sorted.
names_in() {
  (cd "$1" && find . -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort)
}

runpath_of() {
  readelf -d "$1" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]$/\1/p'
}

# traced NAME COMMAND...: runs COMMAND with the dynamic linker's trace of the libraries it
# loads; loaded_by NAME then lists their real paths, one a line.
traced() {
  local name=$1
  shift
  mkdir -p "$work/trace"
  LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/trace/$name" "$@"
}
loaded_by() {
  cat "$work/trace/$1".* 2>/dev/null | sed -n 's/.*calling init: //p' |
    while read -r file; do realpath -- "$file"; done | LC_ALL=C sort -u
}

finish() {
  if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all checks passed"
}
