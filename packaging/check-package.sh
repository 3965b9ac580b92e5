#!/usr/bin/env bash
# Packaging check, run by CTest (test "packaging_deb"):
#   1. builds the Debian package with CPack into a temporary folder,
#   2. checks its name, its control fields and its runtime dependencies,
#   3. unpacks it with dpkg -x into a temporary root,
#   4. checks that every file is in its standard place and passes its validator,
#   5. runs the installed forstrix-cli on the default stand, and starts the
#      installed desktop program on the offscreen platform for a few seconds
#      with a stand file that the installed forstrix-cli wrote,
#   6. runs lintian on the package: any error (E:) or warning (W:) fails.
#
#   check-package.sh BUILD_DIR VERSION APP_ID WITH_UI "ICON_SIZES"
set -euo pipefail

build_dir=$1
version=$2
app_id=$3
with_ui=$4
icon_sizes=$5

case "$with_ui" in ON|on|1|TRUE|true|YES|yes) with_ui=1 ;; *) with_ui=0 ;; esac

fail() { echo "FEHLER: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/forstrix-package-check.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# 1. build the package
arch=$(dpkg --print-architecture)
deb_name="forstrix_${version}_${arch}.deb"
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 || {
  cat "$tmp/cpack.log" >&2
  fail "cpack failed"
}
deb="$tmp/out/$deb_name"
[[ -f $deb ]] || { ls -l "$tmp/out" >&2; fail "package $deb_name not built"; }
ok "built $deb_name ($(du -k "$deb" | cut -f1) KiB)"

# 2. control fields and dependencies
[[ $(dpkg-deb -f "$deb" Package) == forstrix ]] || fail "package name is not forstrix"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "package version is not $version"
[[ $(dpkg-deb -f "$deb" Architecture) == "$arch" ]] || fail "architecture is not $arch"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
dep_names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*)//; s/^ *//; s/ *$//' | sed '/^$/d')
for lib in libc6 libstdc++6; do
  grep -qx "$lib" <<<"$dep_names" || fail "dependency $lib missing"
done
if ((with_ui)); then
  for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 qt6-translations-l10n; do
    grep -qx "$lib" <<<"$dep_names" || fail "dependency $lib missing"
  done
fi
if bad=$(grep -E -- '-dev$|-dev-tools$|^(cmake|ninja-build|g\+\+|gcc|build-essential|pkg-config|dpkg-dev)$' <<<"$dep_names"); then
  fail "build-only package(s) among the dependencies: $bad"
fi
ok "control fields and dependencies"

# 3. unpack
root="$tmp/root"
dpkg -x "$deb" "$root"
dpkg-deb -c "$deb" >"$tmp/contents.txt"

# 4. files in their standard places
expect=(usr/bin/forstrix-cli
        usr/share/doc/forstrix/copyright
        usr/share/doc/forstrix/changelog.gz
        usr/share/man/man1/forstrix-cli.1.gz)
if ((with_ui)); then
  expect+=(usr/bin/forstrix
           usr/lib/forstrix/modules/forstrix_views.so
           usr/share/man/man1/forstrix.1.gz
           "usr/share/applications/$app_id.desktop"
           "usr/share/metainfo/$app_id.metainfo.xml"
           "usr/share/mime/packages/$app_id.xml"
           usr/share/icons/hicolor/scalable/apps/forstrix.svg)
  for size in $icon_sizes; do
    expect+=("usr/share/icons/hicolor/${size}x${size}/apps/forstrix.png")
  done
fi
for f in "${expect[@]}"; do
  [[ -f "$root/$f" ]] || fail "missing in the package: /$f"
done
# Nothing outside /usr, no headers, static libraries or test programs; the
# desktop program's module of its results and cost curve views and the
# module of the spreadsheet and GIS formats (GDAL) in their own folder.
if stray=$(awk '{print $6}' "$tmp/contents.txt" |
             grep -vE '^\./(usr/?)?$|^\./usr/(bin|share)(/|$)|^\./usr/lib/(forstrix/(modules/((forstrix_views|forstrix_gdal)\.so)?)?)?$'); then
  fail "unexpected paths in the package: $stray"
fi
# The changelog is the Debian changelog of this very version, compressed
# without name and time stamp; the copyright is machine-readable.
changelog="$root/usr/share/doc/forstrix/changelog.gz"
file -b "$changelog" | grep -q '^gzip compressed data, max compression' || fail "changelog.gz: $(file -b "$changelog")"
[[ $(zcat "$changelog" | head -n1) == "forstrix ($version) "* ]] || fail "changelog does not start with forstrix ($version)"
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$root/usr/share/doc/forstrix/copyright" || fail "copyright is not in the machine-readable format"
grep -qx 'License: GPL-3+' "$root/usr/share/doc/forstrix/copyright" || fail "copyright does not name GPL-3+"
gdal_module=$([[ -f "$root/usr/lib/forstrix/modules/forstrix_gdal.so" ]] && echo usr/lib/forstrix/modules/forstrix_gdal.so)
for exe in usr/bin/forstrix-cli $gdal_module $( ((with_ui)) && echo usr/bin/forstrix usr/lib/forstrix/modules/forstrix_views.so); do
  [[ $exe == *.so || -x "$root/$exe" ]] || fail "/$exe is not executable"
  file -b "$root/$exe" | grep -q 'ELF' || fail "/$exe is not an ELF program"
  file -b "$root/$exe" | grep -q 'not stripped' && fail "/$exe is not stripped"
  if missing_libs=$(ldd "$root/$exe" | grep 'not found'); then
    fail "/$exe: libraries not found: $missing_libs"
  fi
done
if ((with_ui)); then
  for size in $icon_sizes; do
    info=$(file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/forstrix.png")
    [[ $info == "PNG image data, $size x $size,"* ]] || fail "icon ${size}x${size}: $info"
  done
  desktop-file-validate "$root/usr/share/applications/$app_id.desktop" >"$tmp/dfv.log" 2>&1 || {
    cat "$tmp/dfv.log" >&2; fail "desktop-file-validate"
  }
  if grep -E 'error:|warning:' "$tmp/dfv.log" >&2; then fail "desktop-file-validate"; fi
  grep -qx 'Exec=forstrix %F' "$root/usr/share/applications/$app_id.desktop" || fail "Exec is not forstrix %F"
  grep -qx 'Icon=forstrix' "$root/usr/share/applications/$app_id.desktop" || fail "Icon is not forstrix"
  appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$tmp/as.log" 2>&1 || {
    cat "$tmp/as.log" >&2; fail "appstreamcli validate"
  }
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "metainfo does not launch $app_id.desktop"
  bash "$(dirname "${BASH_SOURCE[0]}")/check-mime.sh" "$root/usr/share/mime/packages/$app_id.xml" \
    "$root/usr/share/applications/$app_id.desktop" || fail "stand file type"
  ok "desktop entry, metainfo, stand file type and ${#expect[@]} files in place"
fi

# 5. run what was installed, in an empty folder of its own
work="$tmp/work"
mkdir -p "$work"
cd "$work"
"$root/usr/bin/forstrix-cli" calc >"$tmp/calc.json" 2>"$tmp/calc.err" || {
  cat "$tmp/calc.err" >&2; fail "installed forstrix-cli calc failed"
}
[[ ! -s "$tmp/calc.err" ]] || { cat "$tmp/calc.err" >&2; fail "forstrix-cli calc wrote to standard error"; }
# The default stand: the worked example's harvester cost and the 20 cm BHD.
grep -Eq '"gi_bhd": *20[,}[:space:]]' "$tmp/calc.json" || fail "calc output lacks \"gi_bhd\": 20"
grep -Eq '"gf_hab112": *137\.93[,}[:space:]]' "$tmp/calc.json" || fail "calc output lacks \"gf_hab112\": 137.93"
[[ $(head -c1 "$tmp/calc.json") == "{" ]] || fail "calc output is not a JSON object"
ok "installed forstrix-cli calc: $(grep -o '"[a-z_0-9]*":' "$tmp/calc.json" | wc -l) values, gf_hab112 = 137.93"
# The installed program finds its GIS module: a plan written as a GeoPackage.
if [[ -n $gdal_module ]]; then
  printf 'name,gi_bhd,gf_vab\nA,30,50\n' >"$tmp/bestaende.csv"
  "$root/usr/bin/forstrix-cli" plan "$tmp/bestaende.csv" -o "$tmp/plan.gpkg" 2>"$tmp/plan.err" && [[ -s "$tmp/plan.gpkg" ]] || {
    cat "$tmp/plan.err" >&2; fail "installed forstrix-cli plan could not write a GeoPackage"
  }
  ok "installed forstrix-cli plan: a GeoPackage through its module"
fi

# Help and version of both programs, on standard output, without any display.
for exe in forstrix-cli $( ((with_ui)) && echo forstrix); do
  for option in --help --version; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$exe" "$option" 2>"$tmp/opt.err") || {
      cat "$tmp/opt.err" >&2; fail "$exe $option failed"
    }
    [[ ! -s "$tmp/opt.err" ]] || { cat "$tmp/opt.err" >&2; fail "$exe $option wrote to standard error"; }
    case $option in
      --help) [[ $out == "Aufruf: $exe"* || $out == *$'\nAufruf: '"$exe"* ]] || fail "$exe --help: $out" ;;
      --version) [[ $out == "$exe $version" ]] || fail "$exe --version: $out" ;;
    esac
  done
done
ok "--help and --version of the installed programs, without a display"

if ((with_ui)); then
  # The desktop program takes a stand file, as a file manager passes it: start
  # it headless with one and let it run for a few seconds. Still running means
  # it came up; it must leave no file behind (its recent-files list goes to a
  # settings folder of the check, not to the user's).
  "$root/usr/bin/forstrix-cli" scenario --set gi_bhd=34 --name Paketprobe -o "$tmp/probe.forstrix" ||
    fail "installed forstrix-cli scenario failed"
  set +e
  XDG_CONFIG_HOME="$tmp/config" QT_QPA_PLATFORM=offscreen timeout -s TERM 5 "$root/usr/bin/forstrix" "$tmp/probe.forstrix" \
    >"$tmp/gui.out" 2>"$tmp/gui.err" </dev/null
  status=$?
  set -e
  if ((status != 124)); then
    cat "$tmp/gui.out" "$tmp/gui.err" >&2
    fail "installed forstrix ended by itself with status $status instead of running"
  fi
  if [[ -n $(ls -A "$work") ]]; then
    ls -la "$work" >&2
    fail "the desktop program left files in its folder"
  fi
  ok "installed forstrix starts (offscreen) and keeps running"
fi

# 6. lintian: errors and warnings fail the check; notes about running as
#    root and informational tags (I:) do not.
command -v lintian >/dev/null || fail "lintian is not installed (scripts/install-deps installs it)"
lintian --display-level '>=info' "$deb" >"$tmp/lintian.log" 2>&1 || true
# One line per tag with its count, for the log.
{ grep -E '^[EWIPX]: ' "$tmp/lintian.log" || true; } | awk '{print $1, $3}' | sort | uniq -c |
  sed 's/^/  lintian /'
if grep -E '^[EW]: ' "$tmp/lintian.log" >&2; then
  fail "lintian reports errors or warnings"
fi
ok "lintian: no errors, no warnings ($(grep -cE '^I: ' "$tmp/lintian.log" || true) informational tags)"

echo "package check passed: $deb_name"
