#!/bin/sh
# Times the CRC32 (/FD) and CRC16 (/F) listing of one 1 GB file from the page cache
# against cksum -a crc on the same file, alternately (target 1.0 for both).
set -eu

. "$(dirname "$0")/common.sh"

# Random bytes, so that no engine meets a pattern it could take a short cut on. The file
# stands in a directory of its own and is named relative to it, so that the listing
# reads one entry and its cost is all in the reading.
mkdir "$work/crc"
head -c 1073741824 /dev/urandom >"$work/crc/big.bin"
cd "$work/crc"

echo "CRC32 of 1 GB"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.0 \
    orva "$orva /FD big.bin" \
    cksum "cksum -a crc big.bin"
echo "CRC16 of 1 GB"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.0 \
    orva "$orva /F big.bin" \
    cksum "cksum -a crc big.bin"
