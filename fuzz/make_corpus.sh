#!/usr/bin/env bash
# Writes fuzz/corpus/ from fuzz/seeds.txt (which describes its lines).
#   fuzz/make_corpus.sh [path/to/kxmsg]     (default build/default/tools/kxmsg)
set -euo pipefail
cd "$(dirname "$0")"
kxmsg="$(realpath "${1:-../build/default/tools/kxmsg}")"
built="$(mktemp)"
trap 'rm -f "$built"' EXIT
declare -A choice=([dlh]=0 [vih]=1 [oih]=2 [wih]=3 [rfh]=4 [trg]=5 [str]=6 [bin]=7)
message() {  # NAME FLAGS FIRST-KIND ARGUMENTS...: the data behind the three bytes read first
  "$kxmsg" build -o "$built" "${@:4}" >/dev/null
  { printf "\\x0${choice[$3]}\\x$2\\x00"; tail -c +365 "$built"; } > "corpus/fuzz_message/$1"
}
while read -r target name rest; do
  case "$target" in
    '' | '#'*) ;;
    message) mkdir -p corpus/fuzz_message && eval "message $name $rest" ;;
    *) mkdir -p "corpus/$target" && printf "$rest" > "corpus/$target/$name" ;;
  esac
done < seeds.txt
echo "seeds written under $(pwd)/corpus"
