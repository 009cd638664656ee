#!/bin/sh
# The maintenance pages against a demo device, through the program as the
# web server runs it:
# - a configuration exported ("/1007"), downloaded ("/1013") and imported
#   back ("/1008") over a changed database restores every key and record;
# - an OEM package made with the README's command line unpacks ("/oem");
# - hostile archives (an entry "../x", an absolute entry, a symbolic link
#   out, each with a file written through it) are refused, and nothing is
#   written outside the branding folder.
# Usage: maintenance_pages.sh BUILD_BIN_DIR
set -eu
bin=$1
for tool in openssl zip unzip python3; do
    command -v $tool >/dev/null || { echo "$tool missing: skipped"; exit 77; }
done
work=$(mktemp -d)
root=$work/root
mkdir -p "$root/var/run" "$root/mnt/nand/app" "$root/dev/shm" "$root/tmp" "$root/bin" "$root/mnt/nand2"
ln -s "$bin/nvrconf" "$root/bin/zqprofile"
NVR_ROOT="$root" "$bin/coresim" --demo --ready "$work/ready" >/dev/null 2>&1 &
coresim=$!
trap 'kill $coresim 2>/dev/null || true; wait 2>/dev/null || true; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
i=0
while [ ! -f "$work/ready" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done

fail() { echo "FAIL: $*" >&2; exit 1; }
NVR_ROOT="$root" "$bin/nvrconf" init --demo >/dev/null
NVR_ROOT="$root" "$bin/nvrconf" passwd admin maint >/dev/null
digest=$(printf maint | md5sum | cut -d' ' -f1)
session=$(printf '{"userName":"admin","md5":"%s"}' "$digest" |
    env NVR_ROOT="$root" REQUEST_METHOD=POST PATH_INFO=/1000 CONTENT_TYPE=application/json "$bin/nvrweb.cgi" |
    sed -n 's/.*"sessionId": "\([0-9]*\)".*/\1/p')
[ -n "$session" ] || fail "the login failed"

# request PATH [QUERY]: a GET of PATH.
request() {
    env NVR_ROOT="$root" PATH="$root/bin:/usr/bin:/bin" REQUEST_METHOD=GET PATH_INFO="$1" \
        QUERY_STRING="${2:-}" HTTP_COOKIE="userName=admin; sessionId=$session" "$bin/nvrweb.cgi"
}
# upload PATH QUERY FILE NAME: FILE posted as the form field "file" named NAME.
upload() {
    {
        printf -- '--XyZ\r\nContent-Disposition: form-data; name="file"; filename="%s"\r\n\r\n' "$4"
        cat "$3"
        printf '\r\n--XyZ--\r\n'
    } >"$work/body"
    env NVR_ROOT="$root" PATH="$root/bin:/usr/bin:/bin" REQUEST_METHOD=POST PATH_INFO="$1" QUERY_STRING="$2" \
        CONTENT_TYPE="multipart/form-data; boundary=XyZ" CONTENT_LENGTH="$(wc -c <"$work/body")" \
        HTTP_COOKIE="userName=admin; sessionId=$session" "$bin/nvrweb.cgi" <"$work/body"
}
text_answer() { printf 'Content-type: text/plain\r\n\r\n%s' "$1"; }

# Configuration: export, download, change, import, compare.
NVR_ROOT="$root" "$bin/nvrconf" dump >"$work/before"
request /1007 >"$work/export"
grep -aq '^OK filename=config_[0-9_]*\.bin' "$work/export" || fail "export answered: $(cat "$work/export")"
request /1013 >"$work/download"
python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); h = d.index(b"\r\n\r\n") + 4
assert d.startswith(b"Content-Type:application/octet-stream\r\nContent-Disposition: attachment; filename= config_"), d[:120]
open(sys.argv[2], "wb").write(d[h:])' "$work/download" "$work/config.bin"
[ -z "$(find "$root/tmp" -name 'config_*')" ] || fail "the download left the export behind"
NVR_ROOT="$root" "$bin/nvrconf" set device_name Changed >/dev/null
NVR_ROOT="$root" "$bin/nvrconf" record 2 0 00 >/dev/null
NVR_ROOT="$root" "$bin/nvrconf" dump >"$work/changed"
cmp -s "$work/before" "$work/changed" && fail "the change did not change the database"
[ "$(upload /1008 "" "$work/config.bin" saved.bin)" = "$(text_answer OK)" ] || fail "import refused"
NVR_ROOT="$root" "$bin/nvrconf" dump >"$work/after"
cmp "$work/before" "$work/after" || fail "the import did not restore every key and record"
[ ! -e "$root/tmp/saved.bin" ] || fail "the imported upload was kept"
echo "configuration: $(wc -l <"$work/after") keys and records exported and imported back unchanged"

# OEM package made with the README's command line.
mkdir -p "$work/brand/img"
echo logo >"$work/brand/img/logo.png"
echo "Hall recorder" >"$work/brand/title.txt"
(cd "$work/brand" && zip -qr "$work/oem.zip" .)
openssl enc -aes-256-cbc -pbkdf2 -salt -a -pass pass:brand-key -in "$work/oem.zip" -out "$work/oem.pkg"
[ "$(upload /oem aes=wrong-key "$work/oem.pkg" oem.pkg)" = "$(text_answer ERROR)" ] || fail "wrong key accepted"
[ ! -e "$root/mnt/nand2/oem_upload" ] || fail "a refused package was marked"
[ "$(upload /oem aes=brand-key "$work/oem.pkg" oem.pkg)" = "$(text_answer OK)" ] || fail "package refused"
cmp "$work/brand/img/logo.png" "$root/mnt/nand2/img/logo.png"
cmp "$work/brand/title.txt" "$root/mnt/nand2/title.txt"
[ -f "$root/mnt/nand2/oem_upload" ] || fail "no marker"
[ -z "$(ls "$root/tmp")" ] || fail "files left in tmp: $(ls "$root/tmp")"
echo "OEM package: unpacked"

# Hostile archives, each with a harmless file first: refused before any
# entry is written.
rm -rf "$root/mnt/nand2"
mkdir -p "$root/mnt/nand2"
outside=$work/outside
mkdir -p "$outside"
python3 - "$work" "$outside" <<'PY'
import sys, zipfile
work, outside = sys.argv[1], sys.argv[2]
def make(name, entries):
    with zipfile.ZipFile(f"{work}/{name}.zip", "w") as z:
        z.writestr("ok.txt", "fine\n")
        for entry_name, data, mode in entries:
            info = zipfile.ZipInfo(entry_name)
            info.create_system = 3
            info.external_attr = mode << 16
            z.writestr(info, data)
make("dotdot", [("../x", "out\n", 0o100644), ("img/../../y", "out\n", 0o100644)])
make("absolute", [(outside + "/abs", "out\n", 0o100644)])
make("link", [("link", outside, 0o120777), ("link/through", "out\n", 0o100644)])
make("dotlink", [("up", "..", 0o120777), ("up/z", "out\n", 0o100644)])
PY
for archive in dotdot absolute link dotlink; do
    openssl enc -aes-256-cbc -pbkdf2 -salt -a -pass pass:brand-key -in "$work/$archive.zip" -out "$work/$archive.pkg"
    [ "$(upload /oem aes=brand-key "$work/$archive.pkg" oem.pkg)" = "$(text_answer ERROR)" ] ||
        fail "$archive archive accepted"
    [ -z "$(ls -A "$root/mnt/nand2")" ] || fail "$archive archive wrote $(ls -A "$root/mnt/nand2")"
done
[ -z "$(ls -A "$outside")" ] || fail "written outside: $(ls -A "$outside")"
for path in x y z mnt/x mnt/y mnt/nand/x; do
    [ ! -e "$root/$path" ] || fail "written outside: $path"
done
[ -z "$(ls "$root/tmp")" ] || fail "files left in tmp: $(ls "$root/tmp")"
echo "hostile archives: refused, nothing written"
