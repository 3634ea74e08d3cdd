#!/usr/bin/env bash
# Checks what installing the trainer puts on a machine.
#   scripts/check-install.sh BUILD_DIR
# 1. `cmake --install` into a staging folder: the exact file list, the
#    relative bin/ link, the desktop entry and the AppStream data (their own
#    validators), the icon at every size with its pixel dimensions;
# 2. the staged program started under Xvfb through bin/ladoton finds its
#    instructions (scripts/check-install-start.sh);
# 3. as root only: the Debian package (cpack) installs with dpkg, `ladoton`
#    runs from the PATH the same way, and removing and purging it leaves
#    none of its files or folders behind. Skipped, saying so, when not root
#    or when a ladoton package is already installed (not ours to remove).
# CMAKE and CPACK name the tools when they are not the ones on the PATH.
set -euo pipefail
[ $# = 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cmake=${CMAKE:-cmake}
cpack=${CPACK:-cpack}
app=ladoton                   # the command, the desktop entry, the icon
component=org.example.ladoton # the AppStream component
sizes=(16 24 32 48 64 128 256)

work=$(mktemp -d)
ours_installed=0
cleanup() {
  if [ "$ours_installed" = 1 ]; then dpkg --purge "$app" >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "--- $*"; }

# start_check PROGRAM: the program starts on a private display with its
# instructions loaded.
start_check() {
  bash "$root/tests/e2e/run_under_xvfb.sh" "$root/scripts/check-install-start.sh" "$1" ||
    fail "$1 did not start with its instructions"
}

# png_size FILE: "WIDTHxHEIGHT" from the PNG header.
png_size() {
  [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "not a PNG"; return; }
  od -An -tu1 -j16 -N8 "$1" |
    awk '{ printf "%dx%d\n", (($1 * 256 + $2) * 256 + $3) * 256 + $4, (($5 * 256 + $6) * 256 + $7) * 256 + $8 }'
}

# --- The staged tree --------------------------------------------------------
step "cmake --install into a staging folder"
stage_root=$work/stage
DESTDIR=$stage_root "$cmake" --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install failed"; }
stage=$stage_root/usr

expected=(bin/$app lib/$app/$app lib/$app/note.txt lib/$app/interv.txt
  share/applications/$app.desktop share/metainfo/$component.metainfo.xml)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x$s/apps/$app.png"); done
(cd "$stage_root" && find . ! -type d | sed 's|^\./||' | sort) >"$work/installed"
printf 'usr/%s\n' "${expected[@]}" | sort >"$work/expected"
diff "$work/expected" "$work/installed" >&2 ||
  fail "the installed files differ from the expected ones (< expected, > installed)"

link=$(readlink "$stage/bin/$app")
[ -L "$stage/bin/$app" ] && [ "${link#/}" = "$link" ] || fail "bin/$app is not a relative link ($link)"
[ "$(readlink -f "$stage/bin/$app")" = "$stage/lib/$app/$app" ] || fail "bin/$app leads to $link"
[ -x "$stage/lib/$app/$app" ] || fail "lib/$app/$app is not executable"
for f in note.txt interv.txt; do
  cmp -s "$root/data/$f" "$stage/lib/$app/$f" || fail "lib/$app/$f differs from data/$f"
done

step "desktop entry and AppStream data"
desktop=$stage/share/applications/$app.desktop
metainfo=$stage/share/metainfo/$component.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate: $metainfo"
# The tree as a whole: the component, its desktop entry and its icon agree.
appstreamcli validate-tree --no-net "$stage_root" || fail "appstreamcli validate-tree: $stage_root"
grep -qx "Exec=$app" "$desktop" || fail "the desktop entry does not start $app"
grep -qx "Icon=$app" "$desktop" || fail "the desktop entry does not name the icon $app"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
  fail "the AppStream data does not launch $app.desktop"
grep -q "<icon type=\"stock\">$app</icon>" "$metainfo" || fail "the AppStream data does not name the icon $app"

step "icons"
for s in "${sizes[@]}"; do
  icon=$stage/share/icons/hicolor/${s}x$s/apps/$app.png
  got=$(png_size "$icon")
  [ "$got" = "${s}x$s" ] || fail "$icon is $got"
done

step "the staged program starts through bin/$app"
start_check "$stage/bin/$app"

# --- The Debian package -----------------------------------------------------
if [ "$(id -u)" != 0 ]; then
  echo "skipped the Debian package check: dpkg -i needs root"
  exit 0
fi
status=$(dpkg-query -W -f='${Status}' "$app" 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != "unknown ok not-installed" ]; then
  echo "skipped the Debian package check: a $app package is already here ($status)"
  exit 0
fi

step "cpack -G DEB"
command -v dpkg-shlibdeps >/dev/null || fail "dpkg-shlibdeps is missing (Debian package dpkg-dev)"
(cd "$work" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/deb/*.deb)
[ "${#debs[@]}" = 1 ] && [ -f "${debs[0]}" ] || fail "cpack made ${#debs[@]} packages: ${debs[*]}"
deb=${debs[0]}
[ "$(dpkg-deb -f "$deb" Package)" = "$app" ] || fail "the package is named $(dpkg-deb -f "$deb" Package)"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "the package has no maintainer"
depends=$(dpkg-deb -f "$deb" Depends)
for want in libqt6widgets6 libfluidsynth "timgm6mb-soundfont | fluid-soundfont-gm" fonts-liberation2; do
  grep -qF -- "$want" <<<"$depends" || fail "the package does not depend on $want: $depends"
done

# Paths as the package lists them; the folders that are not here yet must be
# gone again after the purge.
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; /^\/$/d' >"$work/listed"
: >"$work/new-dirs"
while read -r p; do
  case $p in */) [ -d "$p" ] || echo "${p%/}" >>"$work/new-dirs" ;; esac
done <"$work/listed"

# dpkg_run ARGS...: dpkg, waiting while another package tool holds its lock.
dpkg_run() {
  local deadline=$((SECONDS + 120))
  until dpkg "$@" >"$work/dpkg.log" 2>&1; do
    if grep -q "lock" "$work/dpkg.log" && [ "$SECONDS" -lt "$deadline" ]; then
      sleep 1
      continue
    fi
    cat "$work/dpkg.log" >&2
    return 1
  done
}

step "dpkg -i"
ours_installed=1
dpkg_run -i "$deb" || fail "dpkg -i failed"
[ "$(dpkg-query -W -f='${Status}' "$app")" = "install ok installed" ] || fail "the package is not installed"
# /usr/bin first: a copy installed by hand under /usr/local is not the package.
path_app=$(PATH=/usr/bin:$PATH command -v "$app" || echo nothing)
[ "$path_app" = "/usr/bin/$app" ] || fail "'$app' on the PATH is $path_app"
PATH=/usr/bin:$PATH start_check "$app"

step "dpkg -r and --purge"
dpkg_run -r "$app" || fail "dpkg -r failed"
while read -r p; do
  case $p in */) ;; *) [ ! -e "$p" ] && [ ! -L "$p" ] || fail "$p is left after dpkg -r" ;; esac
done <"$work/listed"
dpkg_run --purge "$app" || fail "dpkg --purge failed"
ours_installed=0
status=$(dpkg-query -W -f='${Status}' "$app" 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = "unknown ok not-installed" ] || fail "after the purge the package is '$status'"
while read -r d; do
  [ ! -e "$d" ] || fail "the folder $d is left after the purge"
done <"$work/new-dirs"
[ ! -e "/usr/lib/$app" ] || fail "/usr/lib/$app is left after the purge"
echo "installed, started, removed and purged: nothing left"
