#!/bin/sh
# Starts the demo device on 127.0.0.1:$PORT: a device root under run/root,
# the core daemon stand-in in demo mode and lighttpd with the CGI program.
# Runs until Ctrl-C.
set -eu
cd "$(dirname "$0")/.."
top=$(pwd)
port=${PORT:-8080}
run=${RUN_DIR:-"$top/run"}
root="$run/root"
www="$run/www"
bin="$top/build/bin"

mkdir -p "$root/mnt/nand/app" "$root/tmp" "$root/var/run" "$root/bin" "$root/dev/shm" "$www/cgi-bin"
cp "$bin/nvrweb.cgi" "$www/cgi-bin/nvrweb.cgi"
# The interface probes read the kernel's tables below the device root: the
# demo shows the host's own.
ln -sfn /proc "$root/proc"

# Device tools stand in under their device names.
if [ -x "$bin/nvrconf" ]; then
    cp "$bin/nvrconf" "$root/bin/nvrconf"
    ln -sf nvrconf "$root/bin/zqprofile"
    if [ ! -f "$root/mnt/nand/app/zqdb.db" ]; then
        NVR_ROOT="$root" "$root/bin/nvrconf" init --demo
        # The demo password of the factory account (a device has none until
        # it is set).
        NVR_ROOT="$root" "$root/bin/nvrconf" passwd admin demo1234 >/dev/null
    fi
fi

# The chip tool keeps the demo chip's identity in a file of the root.
if [ -x "$bin/zqchip_update" ]; then
    cp "$bin/zqchip_update" "$root/bin/zqchip_update"
    mkdir -p "$root/var"
    [ -f "$root/var/chipinfo" ] || echo ZQN321600H01E2023010S00000012345 >"$root/var/chipinfo"
fi
# The web folder's language files, for the page texts and the language list.
mkdir -p "$root/opt/app/www/webfile/json" "$root/opt/app/bin" "$root/mnt/nand2"
for file in deploy/demo/www/webfile/json/*.json; do
    target="$root/opt/app/www/webfile/json/$(basename "$file")"
    [ -f "$target" ] || cp "$file" "$target"
done

pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

if [ -x "$bin/coresim" ]; then
    rm -f "$root/var/run/zqsocket"
    NVR_ROOT="$root" "$bin/coresim" --demo >"$run/coresim.log" 2>&1 &
    pids="$pids $!"
fi

sed -e "s#@PORT@#$port#g" -e "s#@WWW@#$www#g" -e "s#@RUN@#$run#g" -e "s#@ROOT@#$root#g" \
    -e "s#@CONSOLE@#$top/web/console#g" -e "s#@CATALOGUE@#$top/build/catalogue/resources.json#g" \
    deploy/lighttpd.conf.in >"$run/lighttpd.conf"
lighttpd -tt -f "$run/lighttpd.conf"

cat <<INFO
nvrweb demo device on http://127.0.0.1:$port/  (device root: $root)
Open http://127.0.0.1:$port/ in a browser for the console, or log in as admin
with the demo password demo1234 (its MD5 below) and use the session's cookies:
  curl -s -d '{"userName":"admin","md5":"6e9bece1914809fb8493146417e722f6"}' \\
       -H 'Content-Type: application/json' http://127.0.0.1:$port/1000
  curl -s -b 'userName=admin; sessionId=ID_FROM_THE_ANSWER' http://127.0.0.1:$port/6070
  curl -s -b 'userName=admin; sessionId=ID_FROM_THE_ANSWER' http://127.0.0.1:$port/8008
Logs: $run/lighttpd-error.log, $root/mnt/nand/cgi_log.txt. Ctrl-C stops.
INFO

lighttpd -D -f "$run/lighttpd.conf" &
pids="$pids $!"
wait
