#!/usr/bin/env bash
# Whether this kernel runs 32-bit x86 programs: prints nothing and exits 0 when it does, or prints
# one line on why not and exits 1. Needs no i386 package, so set-up can ask before installing any.
# Usage: scripts/probe-32-bit.sh
set -uo pipefail

# The smallest static 32-bit program, which only exits with 0:
#   ELF header (52 bytes)      ELF32, little-endian, executable, i386, entry 0x08048054
#   program header (32 bytes)  one LOAD of the whole 93-byte file at 0x08048000, read and execute
#   code (9 bytes)             xor ebx,ebx; mov eax,1 (exit); int 0x80
program='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
program+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
program+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
program+='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
program+='\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
program+='\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80'

dir=$(mktemp -d "${TMPDIR:-/tmp}/numplace-probe.XXXXXX") || {
    echo "cannot tell whether this machine runs 32-bit programs: no temporary folder"
    exit 1
}
trap 'rm -rf "$dir"' EXIT
printf "$program" >"$dir/probe" && chmod +x "$dir/probe"

# The shell reports the kernel's refusal ("Exec format error") on its standard error.
said=$("$dir/probe" 2>&1) && exit 0
said=${said%%$'\n'*}
echo "this machine runs no 32-bit programs (a static 32-bit program: ${said##*: })"
exit 1
