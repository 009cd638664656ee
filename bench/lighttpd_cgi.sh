#!/bin/sh
# Requests per second through lighttpd's mod_cgi, 8 concurrent clients (ab):
# "/8008" with a live session (coresim answering at once) against the
# trivial C CGI on the same server, in one run.
set -eu
cd "$(dirname "$0")/.."
. bench/lib.sh
./deploy/install-deps.sh bench
build_helpers
port=${BENCH_PORT:-18480}
requests=${REQUESTS:-4000}
work=$(mktemp -d)
root="$work/root"
www="$work/www"
mkdir -p "$root/var/run" "$root/mnt/nand/app" "$root/dev/shm" "$root/tmp" "$www/cgi-bin"
cp build/bin/nvrweb.cgi "$www/cgi-bin/nvrweb.cgi"
cp "$bench_out/trivial_ok" "$www/cgi-bin/trivial.cgi"
pids=""
trap 'for p in $pids; do kill $p 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"' EXIT

NVR_ROOT="$root" build/bin/coresim --demo --ready "$root/ready" >/dev/null 2>&1 &
pids="$pids $!"
NVR_ROOT="$root" build/bin/nvrconf init >/dev/null
NVR_ROOT="$root" build/bin/nvrconf passwd admin bench >/dev/null
cat >"$work/lighttpd.conf" <<CONF
server.modules = ("mod_setenv", "mod_cgi")
server.bind = "127.0.0.1"
server.port = $port
server.document-root = "$www"
server.errorlog = "$work/lighttpd-error.log"
server.max-worker = 0
cgi.assign = (".cgi" => "")
setenv.set-environment = ("NVR_ROOT" => "$root", "PATH" => "$root/bin:/usr/bin:/bin")
CONF
lighttpd -D -f "$work/lighttpd.conf" &
pids="$pids $!"
i=0
until [ -f "$root/ready" ] && curl -s -o /dev/null "http://127.0.0.1:$port/cgi-bin/trivial.cgi"; do
    sleep 0.05
    i=$((i + 1))
    [ $i -lt 200 ] || { echo "lighttpd_cgi: the server did not start" >&2; exit 1; }
done

digest=$(printf bench | md5sum | cut -d' ' -f1)
session=$(curl -s -H 'Content-Type: application/json' -d "{\"userName\":\"admin\",\"md5\":\"$digest\"}" \
    "http://127.0.0.1:$port/cgi-bin/nvrweb.cgi/1000" | sed -n 's/.*"sessionId": "\([0-9]*\)".*/\1/p')
[ -n "$session" ] || { echo "lighttpd_cgi: the login failed" >&2; exit 1; }
answer=$(curl -s -b "userName=admin; sessionId=$session" "http://127.0.0.1:$port/cgi-bin/nvrweb.cgi/8008")
case "$answer" in *total*) ;; *) echo "lighttpd_cgi: /8008 answered: $answer" >&2; exit 1 ;; esac

# rate URL [COOKIE]: requests per second of ab with 8 clients.
rate() {
    ab -q -k -c 8 -n "$requests" ${2:+-C "$2"} "$1" 2>/dev/null |
        sed -n 's/^Requests per second: *\([0-9.]*\).*/\1/p'
}
trivial=$(rate "http://127.0.0.1:$port/cgi-bin/trivial.cgi")
usage=$(rate "http://127.0.0.1:$port/cgi-bin/nvrweb.cgi/8008" "userName=admin; sessionId=$session")
echo "lighttpd cgi: trivial C CGI $trivial requests/s, /8008 with a live session $usage requests/s" \
    "($requests requests, 8 clients)"
echo "lighttpd cgi: ratio $(ratio "$usage" "$trivial") (target >= 1.00)"
