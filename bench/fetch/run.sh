#!/usr/bin/env bash
# Benchmark of zunbarra-fetch against curl on loopback.
#   bench/fetch/run.sh [BUILD_DIR] [RUNS]     (defaults: build, 500)
# 1. nginx (started here on an ephemeral loopback port, with its own temporary configuration)
#    serves a 20 KB page; hyperfine runs RUNS sequential GETs with zunbarra-fetch and with
#    `curl -0 -s -o /dev/null` in the same run; prints the median time per request and the ratio.
# 2. The same page over HTTPS from the same nginx (a certificate for 127.0.0.1 from a CA made here
#    with openssl): zunbarra-fetch --cacert against `curl -s --cacert` in the same run, median
#    per request and ratio.
# 3. zunbarra-fetch waits 2 s for a server that answers late; prints the CPU time it used as a
#    share of the wall time (waits must not spin).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
runs=${2:-500}

cmake --build "$build" --target zunbarra-fetch zb-slow-server >/dev/null
fetch=$build/bin/zunbarra-fetch
slow=$build/bin/zb-slow-server

work=$(mktemp -d /tmp/zb-bench-fetch-XXXXXX)
chmod 755 "$work"
nginx_pid=
cleanup() {
    [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/www"
head -c 20480 /dev/urandom | base64 -w 100 | head -c 20480 > "$work/www/page.htm"
chmod -R a+rX "$work/www"
free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' 2>/dev/null ||
        echo $(( 20000 + RANDOM % 20000 ))
}
port=$(free_port)
tls_port=$(free_port)
# A test CA and a certificate for 127.0.0.1 signed by it.
key="-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
openssl req -x509 $key -keyout "$work/ca.key" -out "$work/ca.crt" -days 2 -subj "/CN=bench CA" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign 2>/dev/null
openssl req -new $key -keyout "$work/server.key" -out "$work/server.csr" -subj /CN=127.0.0.1 2>/dev/null
echo "subjectAltName=IP:127.0.0.1" > "$work/server.ext"
openssl x509 -req -in "$work/server.csr" -CA "$work/ca.crt" -CAkey "$work/ca.key" -CAcreateserial \
    -days 2 -extfile "$work/server.ext" -out "$work/server.crt" 2>/dev/null
chmod 644 "$work"/*.crt "$work"/*.key
cat > "$work/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
error_log $work/error.log;
pid $work/nginx.pid;
events { worker_connections 256; }
http {
  access_log off;
  client_body_temp_path $work/body;
  proxy_temp_path $work/proxy;
  fastcgi_temp_path $work/fastcgi;
  uwsgi_temp_path $work/uwsgi;
  scgi_temp_path $work/scgi;
  server { listen 127.0.0.1:$port; root $work/www; }
  server { listen 127.0.0.1:$tls_port ssl; root $work/www;
           ssl_certificate $work/server.crt; ssl_certificate_key $work/server.key; }
}
CONF
/usr/sbin/nginx -p "$work" -c "$work/nginx.conf" -e "$work/error.log" &
nginx_pid=$!
url=http://127.0.0.1:$port/page.htm
for _ in $(seq 100); do curl -s -o /dev/null "$url" && break; sleep 0.05; done

# Both clients must fetch the same bytes.
"$fetch" -o "$work/a" "$url" 2>/dev/null
curl -0 -s -o "$work/b" "$url"
cmp -s "$work/a" "$work/b" || { echo "zunbarra-fetch and curl fetched different bytes" >&2; exit 1; }

echo "== $runs sequential GETs of a 20 KB page from nginx on loopback"
hyperfine -N --style basic --warmup 20 --runs "$runs" --export-json "$work/result.json" \
    -n zunbarra-fetch "$fetch -o /dev/null $url" \
    -n curl "curl -0 -s -o /dev/null $url" >/dev/null
medians=$(awk -F': ' '/"median"/ { gsub(/,/, "", $2); print $2 }' "$work/result.json")
fetch_median=$(echo "$medians" | sed -n 1p)
curl_median=$(echo "$medians" | sed -n 2p)
awk -v f="$fetch_median" -v c="$curl_median" 'BEGIN {
    printf "median per request: zunbarra-fetch %.3f ms, curl -0 %.3f ms, ratio %.2f (target <= 1.2)\n",
           f * 1000, c * 1000, f / c }'

tls_url=https://127.0.0.1:$tls_port/page.htm
"$fetch" --cacert "$work/ca.crt" -o "$work/c" "$tls_url" 2>/dev/null
curl -s --cacert "$work/ca.crt" -o "$work/d" "$tls_url"
cmp -s "$work/c" "$work/d" && cmp -s "$work/a" "$work/c" ||
    { echo "zunbarra-fetch and curl fetched different bytes over HTTPS" >&2; exit 1; }

echo "== $runs sequential GETs of a 20 KB page from nginx over HTTPS on loopback"
hyperfine -N --style basic --warmup 20 --runs "$runs" --export-json "$work/tls.json" \
    -n zunbarra-fetch "$fetch --cacert $work/ca.crt -o /dev/null $tls_url" \
    -n curl "curl -s --cacert $work/ca.crt -o /dev/null $tls_url" >/dev/null
medians=$(awk -F': ' '/"median"/ { gsub(/,/, "", $2); print $2 }' "$work/tls.json")
fetch_median=$(echo "$medians" | sed -n 1p)
curl_median=$(echo "$medians" | sed -n 2p)
awk -v f="$fetch_median" -v c="$curl_median" 'BEGIN {
    printf "median per request: zunbarra-fetch %.3f ms, curl %.3f ms, ratio %.2f (target <= 1.0)\n",
           f * 1000, c * 1000, f / c }'

echo "== CPU time of a Get waiting 2 s for a slow server"
coproc SLOW { "$slow" 2000 1; }
slow_pid=$SLOW_PID
read -r slow_port <&"${SLOW[0]}"
TIMEFORMAT='%R %U %S'
times=$( { time "$fetch" -o /dev/null "http://127.0.0.1:$slow_port/" 2>/dev/null; } 2>&1 )
wait "$slow_pid" 2>/dev/null || true
echo "$times" | awk '{ printf "wall %.2f s, user %.3f s, system %.3f s, CPU share %.2f %% (target < 5 %%)\n",
                       $1, $2, $3, ($2 + $3) / $1 * 100 }'
