#!/usr/bin/env bash
# vtpack as vendors get it: the release build and its Debian package.
#   package_check.sh RELEASE_TREE PRODUCT_TREE PRODUCT64_TREE SOURCE_DIR VERSION
# - The release vtpack carries no sanitizer runtime (none in its NEEDED
#   entries, no __asan_/__ubsan_ symbol) and is stripped.
# - cpack makes vantorel_VERSION_amd64.deb holding exactly the expected
#   files; its Depends names the package of every library vtpack loads, and
#   nothing of MinGW or Wine.
# - Unpacked into a temporary root, away from any build tree, its vtpack
#   reports VERSION and builds the demo projects (32-bit and 64-bit) with
#   the programs it finds in its own share/vantorel: byte for byte what the
#   release tree's vtpack (the one build/dist holds) makes with the product
#   builds' programs.
set -eu
release=$1 product=$2 product64=$3 source=$4 version=$5
vtpack=$release/src/packer/vtpack
fail() { echo "package_check: $*" >&2; exit 1; }
[ -x "$vtpack" ] || fail "$vtpack is missing: build the release tree first (make release)"
for program in vtsetup.exe VTUnInst.exe VTUnInstUser.exe demoapp.exe; do
  [ -f "$product/dist/$program" ] || fail "$product/dist/$program is missing: build the product first (make windows-x86)"
done
for program in vtsetup64.exe VTUnInst64.exe VTUnInstUser64.exe x64/demoapp.exe; do
  [ -f "$product64/dist/$program" ] || fail "$product64/dist/$program is missing: build the 64-bit product first (make windows-x64-product)"
done

needed=$(readelf -d "$vtpack" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
if grep -E 'lib(a|ub|t|l)san' <<<"$needed"; then fail "the release vtpack loads a sanitizer runtime"; fi
if readelf --dyn-syms -W "$vtpack" | grep -E '__(asan|ubsan)_'; then fail "the release vtpack carries sanitizer code"; fi
if readelf -S -W "$vtpack" | grep -F '.symtab'; then fail "the release vtpack is not stripped"; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$release" && cpack --config vantorel-cpack.cmake -B "$work/cpack") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/cpack/vantorel_${version}_amd64.deb
[ -f "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$work/cpack")"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $2, $6}' | sort -k3)
expected="-rwxr-xr-x root/root ./usr/bin/vtpack
-rw-r--r-- root/root ./usr/share/doc/vantorel/project-format.md
-rw-r--r-- root/root ./usr/share/man/man1/vtpack.1.gz
-rw-r--r-- root/root ./usr/share/vantorel/VTUnInst.exe
-rw-r--r-- root/root ./usr/share/vantorel/VTUnInst64.exe
-rw-r--r-- root/root ./usr/share/vantorel/VTUnInstUser.exe
-rw-r--r-- root/root ./usr/share/vantorel/VTUnInstUser64.exe
-rw-r--r-- root/root ./usr/share/vantorel/vtsetup.exe
-rw-r--r-- root/root ./usr/share/vantorel/vtsetup64.exe"
[ "$files" = "$expected" ] || fail "the package holds
$files
instead of
$expected"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package) $(field Version) $(field Architecture)" = "vantorel $version amd64" ] ||
  fail "package $(field Package) $(field Version) $(field Architecture), not vantorel $version amd64"
for name in Maintainer Description Section; do [ -n "$(field $name)" ] || fail "no $name field"; done
depends=$(field Depends)
depended=$(tr ',|' '\n\n' <<<"$depends" | awk '{print $1}')  # the package names
for library in $needed; do
  owner=$(dpkg-query -S "*/$library" | grep -E ': /(usr/)?lib/(x86_64-linux-gnu/)?[^/]+$' | head -n 1 | cut -d: -f1)
  [ -n "$owner" ] || fail "no installed package has $library"
  grep -qxF "$owner" <<<"$depended" || fail "Depends ($depends) lacks $owner, which has $library"
done
if grep -iE 'mingw|wine' <<<"$depends"; then fail "Depends ($depends) asks for MinGW or Wine"; fi

root=$work/root
dpkg-deb -x "$deb" "$root"
cmp "$root/usr/bin/vtpack" "$vtpack" || fail "the package's vtpack is not the release tree's"
installed=$root/usr/bin/vtpack
[ "$("$installed" --version)" = "vtpack $version" ] || fail "vtpack --version says \"$("$installed" --version)\""

# The demo projects in a folder of their own, their program files given.
demo=$work/demo
mkdir -p "$demo/programs/x64"
cp "$source"/examples/demo/{project.toml,project-x64.toml,readme.txt,licence.txt} "$demo/"
cp "$product"/dist/{demoapp.exe,vtdemoreg.dll,vtdemoshared.dll} "$demo/programs/"
cp "$product64"/dist/x64/{demoapp.exe,vtdemoreg.dll,vtdemoshared.dll} "$demo/programs/x64/"
for kind in ":$product/dist/vtsetup.exe:$product/dist/VTUnInst.exe" \
            "-x64:$product64/dist/vtsetup64.exe:$product64/dist/VTUnInst64.exe"; do
  IFS=: read -r suffix stub uninstaller <<<"$kind"
  project=$demo/project$suffix.toml
  (cd "$work" && env -i PATH=/usr/bin:/bin VANTOREL_DIST="$demo/programs" \
     "$installed" build "$project" -o "$work/installed.exe") || fail "the installed vtpack failed"
  VANTOREL_DIST=$demo/programs "$vtpack" build "$project" -o "$work/release.exe" \
    --stub "$stub" --uninstaller "$uninstaller" >/dev/null
  cmp "$work/installed.exe" "$work/release.exe" ||
    fail "the installed vtpack's setup of $(basename "$project") differs from the release tree's"
done
echo "package_check: $(basename "$deb"), $(stat -c %s "$deb") bytes: files, fields and the demo setups as expected"
