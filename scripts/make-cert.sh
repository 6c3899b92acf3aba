#!/usr/bin/env bash
# Makes a throwaway certificate authority and a server certificate for the local stand-in:
#   scripts/make-cert.sh DIR [HOST [OTHER-HOST]]
# DIR gets ca.pem (the CA to trust, e.g. YEJIAN_CA_BUNDLE), server.pem and server-key.pem (for
# yejian-standin --cert/--key). HOST defaults to yejian.example. With OTHER-HOST, the same CA
# also signs other-server.pem and other-server-key.pem for that host: a trusted certificate
# that names the wrong host, for tests. Nothing is made again while the certificates are valid
# for at least another day and name their hosts. The CA's key is deleted once it has signed,
# so this CA can never vouch for anything else. Keep DIR out of the source tree: no private
# key is ever committed.
set -euo pipefail

dir=${1:?usage: make-cert.sh DIR [HOST [OTHER-HOST]]}
host=${2:-yejian.example}
other_host=${3:-}
command -v openssl >/dev/null || { echo "make-cert.sh: the openssl command is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }

mkdir -p "$dir"
cert="$dir/server.pem" key="$dir/server-key.pem" ca="$dir/ca.pem"
other_cert="$dir/other-server.pem" other_key="$dir/other-server-key.pem"

# Whether CERT (with its key) is valid for another day and names HOST.
usable() {
  [ -s "$1" ] && [ -s "$2" ] &&
    openssl x509 -in "$1" -noout -checkend 86400 >/dev/null 2>&1 &&
    openssl x509 -in "$1" -noout -ext subjectAltName 2>/dev/null | grep -q "DNS:$3\(,\|$\)"
}

if [ -s "$ca" ] && usable "$cert" "$key" "$host" &&
   { [ -z "$other_host" ] || usable "$other_cert" "$other_key" "$other_host"; }; then
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

# sign HOST NAME: $work/NAME.pem and $work/NAME-key.pem, a server certificate for HOST.
sign() {
  openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
    -keyout "$work/$2-key.pem" -out "$work/$2.csr" -subj "/CN=$1" 2>/dev/null
  cat > "$work/$2.ext" <<EXT
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=serverAuth
subjectAltName=DNS:$1
EXT
  openssl x509 -req -in "$work/$2.csr" -CA "$work/ca.pem" -CAkey "$work/ca-key.pem" \
    -set_serial "0x$(openssl rand -hex 16)" -days 29 -extfile "$work/$2.ext" \
    -out "$work/$2.pem" 2>/dev/null
  chmod 644 "$work/$2.pem"
}
sign "$host" server
[ -z "$other_host" ] || sign "$other_host" other-server

mv "$work/server-key.pem" "$key"
mv "$work/server.pem" "$cert"
if [ -n "$other_host" ]; then
  mv "$work/other-server-key.pem" "$other_key"
  mv "$work/other-server.pem" "$other_cert"
fi
chmod 644 "$work/ca.pem"
mv "$work/ca.pem" "$ca"
echo "make-cert.sh: made a certificate for $host${other_host:+ and one for $other_host} in $dir (trust $ca)"
