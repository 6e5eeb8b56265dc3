# Sourced by the benchmark scripts that search the local service: a work folder and a
# zunbarra-service on a free loopback port, both gone when the script exits.
#   bench_service_start NAME PROGRAM [SERVICE ARGUMENTS...]
# sets $work (a new folder /tmp/zb-bench-NAME-XXXXXX) and $host (127.0.0.1:PORT).
service_pid=
bench_service_cleanup() {
    [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
    rm -rf "$work"
}

bench_service_start() {
    local name=$1 program=$2
    shift 2
    work=$(mktemp -d "/tmp/zb-bench-$name-XXXXXX")
    trap bench_service_cleanup EXIT
    coproc SERVICE { exec "$program" --port 0 "$@" 2>/dev/null; }
    service_pid=$SERVICE_PID
    local first
    read -r first <&"${SERVICE[0]}"
    host=127.0.0.1:${first#port=}
}
