#!/bin/sh
# Start-up cost of one request: the CGI dispatching an unknown path against
# the smallest dynamically linked C program, in instructions and in private
# memory, measured in one run.
set -eu
cd "$(dirname "$0")/.."
. bench/lib.sh
build_helpers
# Pages of a freshly linked program still in the page cache count as
# private dirty until they are written out.
sync build/bin/nvrweb.cgi "$bench_out/trivial_ok"
root=$(mktemp -d)
cgi_env="NVR_ROOT=$root REQUEST_METHOD=GET PATH_INFO=/unknown QUERY_STRING="

c_ins=$(instructions "" "$bench_out/trivial_ok")
cgi_ins=$(instructions "$cgi_env" build/bin/nvrweb.cgi)
c_mem=$(private_memory "" "$bench_out/trivial_ok")
cgi_mem=$(private_memory "$cgi_env" build/bin/nvrweb.cgi)
rm -rf "$root"

# Private dirty memory is what each process owns; private clean pages are
# the program's own file pages, shared by concurrent requests of it.
echo "startup: trivial C program       $c_ins instructions; KiB private dirty/private clean/rss: $c_mem"
echo "startup: nvrweb.cgi unknown path $cgi_ins instructions; KiB private dirty/private clean/rss: $cgi_mem"
echo "startup: instructions ratio $(ratio "$cgi_ins" "$c_ins") (target <= 0.60)," \
    "private dirty ratio $(ratio "${cgi_mem%% *}" "${c_mem%% *}") (target <= 1.00)"
