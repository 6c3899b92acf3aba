#!/usr/bin/env bash
# Makes a throwaway certificate authority and a server certificate for the local stand-in:
#   scripts/make-cert.sh DIR [HOST]
# DIR gets ca.pem (the CA to trust, e.g. YEJIAN_CA_BUNDLE), server.pem and server-key.pem (for
# yejian-standin --cert/--key). HOST defaults to yejian.example. Nothing is made again while
# the certificate is valid for at least another day and names HOST. The CA's key is deleted
# once it has signed, so this CA can never vouch for anything else. Keep DIR out of the
# source tree: no private key is ever committed.
set -euo pipefail

dir=${1:?usage: make-cert.sh DIR [HOST]}
host=${2:-yejian.example}
command -v openssl >/dev/null || { echo "make-cert.sh: the openssl command is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }

mkdir -p "$dir"
cert="$dir/server.pem" key="$dir/server-key.pem" ca="$dir/ca.pem"

if [ -s "$cert" ] && [ -s "$key" ] && [ -s "$ca" ] &&
   openssl x509 -in "$cert" -noout -checkend 86400 >/dev/null 2>&1 &&
   openssl x509 -in "$cert" -noout -ext subjectAltName 2>/dev/null | grep -q "DNS:$host\(,\|$\)"; then
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
umask 077

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
  -keyout "$work/ca-key.pem" -out "$work/ca.pem" -days 30 \
  -subj "/O=yejian local stand-in/CN=yejian throwaway CA" \
  -addext "basicConstraints=critical,CA:TRUE,pathlen:0" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null

openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
  -keyout "$work/server-key.pem" -out "$work/server.csr" -subj "/CN=$host" 2>/dev/null

cat > "$work/server.ext" <<EXT
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=serverAuth
subjectAltName=DNS:$host
EXT
openssl x509 -req -in "$work/server.csr" -CA "$work/ca.pem" -CAkey "$work/ca-key.pem" \
  -set_serial "0x$(openssl rand -hex 16)" -days 29 -extfile "$work/server.ext" \
  -out "$work/server.pem" 2>/dev/null

mv "$work/server-key.pem" "$key"
chmod 644 "$work/server.pem" "$work/ca.pem"
mv "$work/server.pem" "$cert"
mv "$work/ca.pem" "$ca"
echo "make-cert.sh: made a certificate for $host in $dir (trust $ca)"
