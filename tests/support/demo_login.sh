# Shell helpers of the scripts that drive the program against a device root
# of their own (benchmarks and script tests); source it.

# wait_ready FILE: waits up to 5 s for a starting daemon's ready file.
wait_ready() {
    i=0
    while [ ! -f "$1" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
}

# root_login ROOT BIN PASSWORD: a fresh database in ROOT whose account
# admin has PASSWORD, logged in through BIN/nvrweb.cgi; prints the session
# id ("" when the login failed).
root_login() {
    NVR_ROOT="$1" "$2/nvrconf" init >/dev/null
    NVR_ROOT="$1" "$2/nvrconf" passwd admin "$3" >/dev/null
    printf '{"userName":"admin","md5":"%s"}' "$(printf '%s' "$3" | md5sum | cut -d' ' -f1)" |
        env NVR_ROOT="$1" REQUEST_METHOD=POST PATH_INFO=/1000 CONTENT_TYPE=application/json "$2/nvrweb.cgi" |
        sed -n 's/.*"sessionId": "\([0-9]*\)".*/\1/p'
}
