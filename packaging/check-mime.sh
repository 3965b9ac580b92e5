#!/usr/bin/env bash
# Checks the file type of the stand files (CTest "packaging_mime_info", and
# check-package.sh on the installed files): the shared-mime-info entry builds
# a MIME database without a complaint and maps *.forstrix (and a stand file
# without that name, by its content) to the type, and the desktop entry takes
# files of that type.
#
#   check-mime.sh MIME_XML DESKTOP_FILE
set -euo pipefail

mime_xml=$1
desktop_file=$2
type=application/x-forstrix-bestand

fail() { echo "FEHLER: $*" >&2; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/forstrix-mime-check.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

mkdir -p "$tmp/mime/packages"
cp "$mime_xml" "$tmp/mime/packages/forstrix.xml"
# The parent type application/json comes from the system's database.
if [[ -f /usr/share/mime/packages/freedesktop.org.xml ]]; then
  cp /usr/share/mime/packages/freedesktop.org.xml "$tmp/mime/packages/"
fi
XDG_DATA_HOME="$tmp" update-mime-database "$tmp/mime" >"$tmp/update.log" 2>&1 || { cat "$tmp/update.log" >&2; fail "update-mime-database"; }
if [[ -s "$tmp/update.log" ]]; then cat "$tmp/update.log" >&2; fail "update-mime-database complained"; fi
grep -qx "[0-9]*:$type:\*\.forstrix" "$tmp/mime/globs2" || fail "*.forstrix is not mapped to $type"
grep -qx "$type application/json" "$tmp/mime/subclasses" || fail "$type is not a kind of application/json"
[[ -f "$tmp/mime/application/x-forstrix-bestand.xml" ]] || fail "no entry for $type"

grep -qx "MimeType=\(.*;\)\?$type;\(.*\)\?" "$desktop_file" || fail "$desktop_file does not list $type"
grep -qx 'Exec=forstrix %F' "$desktop_file" || fail "$desktop_file does not pass the files (%F)"
echo "ok: $type for *.forstrix; the desktop entry opens it"
