#!/usr/bin/env bash
# The program as a packager installs it: `cmake --install` into a temporary prefix puts the
# executable in bin/ and the desktop files under share/, each passes its validator, a file
# manager takes *.DDD files for the card file type and offers the program for them, and the
# installed program, started the way its menu entry starts it, shows the card file it is given
# (read from inside by the window probe, see window_probe.cpp) and writes nothing but the
# user's data and settings.
#   install_check.sh CMAKE BUILD-DIR CARD-FILE-MAKER PROBE-PLUGINS WORK-DIR
set -euo pipefail
cmake=$1
build=$2
make_card=$3
plugins=$4
work=$5
id=pl.morvane.Kartovan
type=application/x-tachograph-ddd

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# The value of KEY= in FILE (the first such line), keys taken literally ("Name[pl]").
value() {
  awk -v k="$2" 'index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }' "$1"
}
# Width x height of a PNG file, from its header.
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", (($1 * 256 + $2) * 256 + $3) * 256 + $4, (($5 * 256 + $6) * 256 + $7) * 256 + $8 }'
}

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
share=$prefix/share
timeout 120 "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$work/install.log")"

# What goes where: the executable in bin/, the desktop files where desktops look for them, and
# nothing else (no test program, library or header).
[ -x "$prefix/bin/kartovan" ] || fail "no executable bin/kartovan"
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml
for file in "$desktop" "$metainfo" "$share/mime/packages/$id.xml" "$share/icons/hicolor/scalable/apps/$id.svg"; do
  [ -f "$file" ] || fail "not installed: ${file#"$prefix"/}"
done
stray=$(cd "$prefix" && find . -type f ! -path ./bin/kartovan ! -path './share/applications/*' \
  ! -path './share/icons/hicolor/*' ! -path './share/mime/packages/*' ! -path './share/metainfo/*')
[ -z "$stray" ] || fail "installed besides the program's files: $stray"
search_path=$(readelf -d "$prefix/bin/kartovan" | grep -E '\((RPATH|RUNPATH)\)' || true)
[ -z "$search_path" ] || fail "the installed program has a library search path of its own: $search_path"
echo "installed: bin/kartovan and its desktop files"

# Icons: every size is a PNG of that size; the theme's 48x48 and 256x256 are there.
pngs=0
for png in "$share"/icons/hicolor/*/apps/*.png; do
  size=${png#"$share"/icons/hicolor/}
  size=${size%%/*}
  [ "$(basename "$png")" = "$id.png" ] || fail "icon of another name: $png"
  [ "$(od -An -tx1 -N8 "$png" | tr -d ' ')" = 89504e470d0a1a0a ] || fail "$size: not a PNG file"
  [ "$(png_size "$png")" = "$size" ] || fail "$size: the picture is $(png_size "$png")"
  pngs=$((pngs + 1))
done
for size in 48x48 256x256; do
  [ -f "$share/icons/hicolor/$size/apps/$id.png" ] || fail "no $size icon"
done
echo "icons: $pngs sizes and the scalable one"

# The desktop entry: valid, Polish texts beside the English ones, the installed icon, the card
# file type; its command is run further down.
out=$(timeout 60 desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
for key in Name Comment; do
  [ -n "$(value "$desktop" "$key")" ] || fail "the desktop entry has no $key"
  [ -n "$(value "$desktop" "$key[pl]")" ] || fail "the desktop entry has no Polish $key"
done
[ "$(value "$desktop" Comment)" != "$(value "$desktop" 'Comment[pl]')" ] || fail "the Polish comment is the English one"
icon=$(value "$desktop" Icon)
[ -f "$share/icons/hicolor/48x48/apps/$icon.png" ] && [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] ||
  fail "the desktop entry's icon $icon is not installed"
value "$desktop" MimeType | tr ';' '\n' | grep -qxF "$type" || fail "the desktop entry does not take $type"
read -r -a exec_line <<<"$(value "$desktop" Exec)"
[ "$(PATH="$prefix/bin" command -v "${exec_line[0]}")" = "$prefix/bin/kartovan" ] ||
  fail "the desktop entry's command ${exec_line[0]} is not the installed program"
[ "${exec_line[*]:1}" = "%f" ] || fail "the desktop entry's command takes ${exec_line[*]:1}, not one file"
echo "desktop entry: valid"

# The metainfo: valid on its own and together with the desktop entry and icons of the tree.
out=$(timeout 60 appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
! grep -E '^[EW]:' <<<"$out" || fail "appstreamcli validate: $out"
out=$(timeout 60 appstreamcli validate-tree --no-net "$prefix" 2>&1) || fail "appstreamcli validate-tree: $out"
! grep -E '^[EW]:' <<<"$out" || fail "appstreamcli validate-tree: $out"
for tag in summary p; do
  grep -q "<$tag xml:lang=\"pl\">" "$metainfo" || fail "the metainfo has no Polish $tag"
done
echo "metainfo: valid"

# The card file type, compiled as a desktop compiles it (a copy beside the desktop entry), is
# what a file manager takes files named *.DDD or *.ddd for, and it offers the program for them.
cards=$work/karty
mkdir -p "$cards"
card="$cards/karta Nowak – Łódź.DDD"
"$make_card" "$card" || fail "cannot make the card file"
cp "$card" "$cards/karta.ddd"
data=$work/xdg-data
mkdir -p "$data/mime" "$data/applications"
cp -r "$share/mime/packages" "$data/mime/"
cp "$desktop" "$data/applications/"
out=$(timeout 60 update-mime-database -V "$data/mime" 2>&1) || fail "update-mime-database: $out"
! grep -iE 'warning|error|invalid' <<<"$out" || fail "update-mime-database: $out"
grep -qF ":$type:*.ddd" "$data/mime/globs2" || fail "the MIME database has no *.ddd for $type"
timeout 60 update-desktop-database "$data/applications" || fail "update-desktop-database failed"
grep -qxF "$type=$id.desktop;" "$data/applications/mimeinfo.cache" || fail "mimeinfo.cache does not offer the program for $type"
desktop_env=(env "XDG_DATA_DIRS=$data:/usr/share" "XDG_DATA_HOME=$work/empty-data" "XDG_CONFIG_HOME=$work/empty-config"
  "XDG_CONFIG_DIRS=$work/empty-config" "PATH=$prefix/bin:$PATH" GIO_USE_VFS=local)
for file in "$card" "$cards/karta.ddd"; do
  out=$("${desktop_env[@]}" timeout 30 gio info -a standard::content-type "$file" 2>&1) || fail "gio info: $out"
  grep -qF "standard::content-type: $type" <<<"$out" || fail "$(basename "$file") is not taken for $type: $out"
done
out=$("${desktop_env[@]}" timeout 30 gio mime "$type" 2>&1) || fail "gio mime: $out"
grep -qxF "$(printf '\t')$id.desktop" <<<"$out" || fail "a file manager does not offer the program for $type: $out"
echo "card file type: *.DDD and *.ddd, opened with $id.desktop"

# The installed program, started as the menu entry starts it, in a home of its own. Each case:
# a file, then what the window shows once the start-up timer has opened it.
home=$work/home
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
stamp=$work/before-start
touch "$stamp"
sleep 1
missing="$cards/brak.DDD"
# file | name=text lines the window must show (the status line shows the file's name)
cases=(
  "$card|box=
Label1k= 1. Nowak
Label2k= 2. Anna Maria
Label9k=5b. D750101123450012
Label6=Do 2011-05-17 15:45:00
Label7=$card"
  "$missing|box=Plik:\\n$missing\\nnie istnieje.
Label1k=
Label9k=
Label7=$missing"
)
n=0
for case in "${cases[@]}"; do
  n=$((n + 1))
  file=${case%%|*}
  expected=${case#*|}
  report=$work/window-$n.txt
  command=()
  for word in "${exec_line[@]}"; do
    if [ "$word" = "%f" ]; then command+=("$file"); else command+=("$word"); fi
  done
  rc=0
  env "HOME=$home" "XDG_DATA_HOME=$home/.local/share" "XDG_CONFIG_HOME=$home/.config" \
    "XDG_RUNTIME_DIR=$work/runtime" "PATH=$prefix/bin:$PATH" "CUPS_SERVER=$work/no-cups.sock" \
    QT_QPA_PLATFORM=offscreen "QT_PLUGIN_PATH=$plugins" QT_STYLE_OVERRIDE=kartovanprobe \
    "KARTOVAN_PROBE_OUT=$report" "KARTOVAN_PROBE_ICONS=$share/icons/hicolor" \
    timeout 120 "${command[@]}" >"$work/window-$n.log" 2>&1 || rc=$?
  [ -f "$report" ] || fail "$(basename "$file"): the window probe did not report (exit $rc): $(cat "$work/window-$n.log")"
  [ "$(value "$report" state)" = opened ] ||
    fail "$(basename "$file"): the start-up timer never ran: $(cat "$report" "$work/window-$n.log")"
  [ $rc -eq 0 ] || fail "$(basename "$file"): the program ended with $rc: $(cat "$work/window-$n.log")"
  while IFS= read -r line; do
    key=${line%%=*}
    [ "$(value "$report" "$key")" = "${line#*=}" ] ||
      fail "$(basename "$file"): $key shows '$(value "$report" "$key")', not '${line#*=}'"
  done <<<"$expected"
  grep -qF "title=Kartovan" "$report" || fail "$(basename "$file"): the window's title is $(value "$report" title)"
  [ "$(value "$report" desktop-file)" = "$id" ] || fail "the program names its desktop entry $(value "$report" desktop-file)"
  [ "$(grep -c '^icon .*=same$' "$report")" -eq "$pngs" ] ||
    fail "the window icon is not the installed icon in every size: $(grep '^icon ' "$report")"
  echo "$(basename "$file"): $(value "$report" Label7) shown as expected"
done

# The user's data folder and settings, and nothing in the installed tree.
settings=$home/.config/Morvane/Trivandel.ini
[ -f "$settings" ] || fail "no settings in $settings"
[ "$(value "$settings" katKTExe)" = "$prefix/bin" ] || [ "$(value "$settings" katKTExe)" = "$prefix/bin/" ] ||
  fail "katKTExe is $(value "$settings" katKTExe), not the installed program's folder"
[ -d "$home/.local/share/Kartovan/DDD" ] || fail "no DDD folder in the user's data folder"
written=$(find "$prefix" -newer "$stamp")
[ -z "$written" ] || fail "the program wrote into its installed tree: $written"
echo "the installed program writes only the user's data and settings"
