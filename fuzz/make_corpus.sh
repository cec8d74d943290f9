#!/usr/bin/env bash
# Regenerates the seed corpora under fuzz/corpus/. The message seeds are
# real messages built with kxmsg (its file is the 364-byte descriptor and
# then the message data; the seeds keep the data), preceded by the three
# bytes fuzz_message reads first: format choice, flags, data offset.
#   fuzz/make_corpus.sh [path/to/kxmsg]     (default build/default/tools/kxmsg)
set -euo pipefail
cd "$(dirname "$0")"
kxmsg="$(realpath "${1:-../build/default/tools/kxmsg}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Format choices, in fuzz_message's order of kinds.
declare -A choice=([dlh]=0 [vih]=1 [oih]=2 [wih]=3 [rfh]=4 [trg]=5 [str]=6 [bin]=7)

# seed NAME FLAGS FIRST-KIND kxmsg-build-arguments...
seed() {
  local name="$1" flags="$2" first="$3"
  shift 3
  "$kxmsg" build -o "$work/m" "$@" >/dev/null
  mkdir -p corpus/fuzz_message
  { printf "\\x$(printf %02x "${choice[$first]}")\\x$flags\\x00"; tail -c +365 "$work/m"; } \
    > "corpus/fuzz_message/$name"
}

seed text 00 str --text 'hello, world'
seed bytes 08 bin --bytes 00ff10200000
seed trigger 00 trg --trigger queueName=Q1,processName=P1,userData=data
seed dead-letter 00 dlh --text hello --header dlh:destinationQueueName=Q2,putDate=20240101
seed vorn-1 08 vih --text hello --header vih:version=1,transactionIdentifier=TRN1
seed vorn-2 00 vih --text hello --header vih:version=2,facilityToken=0102030405060708
seed oxt 00 oih --bytes 0102 --header oih:authenticator=PASS
seed work 08 wih --text hello --header wih:serviceName=SVC,messageToken=000102030405060708090a0b0c0d0e0f
seed reference 00 rfh --text hello --header rfh:sourceEnvironment=AB,destinationEnvironment=XYZ,destinationName=Q,referenceType=REF
seed chain 00 rfh --text body --header rfh:sourceName=S --header wih --header oih \
  --header vih:version=1 --header dlh:destinationQueueName=DQ
seed chain-trigger 08 dlh --trigger queueName=TQ --header dlh --header wih

# The other targets read their input as a sequence of choices; these seeds
# are short sequences that reach each operation.
put() { mkdir -p "corpus/$1"; printf "$3" > "corpus/$1/$2"; }
put fuzz_string numbers '\x00\x0f  -42abc 12 34\x02\x12\x12\x02'
put fuzz_string tokens '\x00\x10,,ab,cd  ef  gh\x03\x01,\x13\x01,\x13\x00\x13\x00'
put fuzz_string search '\x00\x0bhello world\x04\x02ld\x00\x05\x00\x05\x01\x05hello\x06\x01\x03\x06\x04\x00'
put fuzz_string build '\x00\x03abc\x07\x03xyz\x27\x00\x00\x00\x2a\x37Q\x08\x00\x18\x00\x09\x05\x01\x0a\x08 \x0b\x03a\x00b\x0c'
put fuzz_string bytes '\x01\x05ab\x00cd\x09\x80\x01\x00\x09\xff\x0a\x04.\x08\x01a'
put fuzz_cache writes '\x10A\x20B\x00\x0a\x01\x00\x10\x01\x01\x02\x00\x03\x01\x08\x04\x02\x80\x00\x01\x04\xff'
put fuzz_cache buffers '\x04A\x08B\x05\x01\x08\x00\x03\x00\x40\x01\x06\x85\x01\x06\x02\x48\x48\x0a\x86\x03\x40\x07\x0b'
put fuzz_cache limits '\x01\x00\x01\x00\x04\xf0\x09\xff\x00\xc0\x01\x02\x80\x10\x00\x03\x00\x80'
put fuzz_channel exits '\x00\x02\x02EXITA\x02\x05EXITB\x02\x01\x02\x02D1\x82\x01\x02\x02R1\x06\x03\x03'
put fuzz_channel refusals '\x00\x03\x02\x01A\x01\x02\x01B\x00\x02\x01\x10\x03\x02\x02X\x84\x00\x00'
put fuzz_channel compression '\x05\x03\x01\x02\x04\x45\x03\x09\x0a\x0b\x07\x05\x00\x44\x01\x08'
echo "seeds written under $(pwd)/corpus"
