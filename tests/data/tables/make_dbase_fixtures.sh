#!/usr/bin/env bash
# Writes the dBase tables the tests read as tables from other programs, with shapelib's
# command-line tools (Debian package shapelib): people.dbf in Windows-1252 (the language
# driver dbfcreate declares), dos850.dbf in code page 850 (language driver byte patched to
# 0x02), utf8.dbf with a .cpg file naming UTF-8, wide.dbf with integers beyond 32 bits.
# Run from anywhere; rewrites the files.
set -euo pipefail
cd "$(dirname "$0")"
rm -f people.dbf dos850.dbf utf8.dbf utf8.cpg wide.dbf

dbfcreate people.dbf -s Name 20 -s City 16 -n Age 3 0 -n Balance 10 2
dbfadd people.dbf "$(printf 'M\xfcller')" "$(printf 'K\xf6ln')" 42 1234.5
dbfadd people.dbf "$(printf 'Zo\xeb')" "" 7 -0.25
dbfadd people.dbf "Smith, Ann" "New York" 0 0

dbfcreate dos850.dbf -s Name 20
printf '\x02' | dd of=dos850.dbf bs=1 seek=29 conv=notrunc status=none
dbfadd dos850.dbf "$(printf 'M\x81ller')"

dbfcreate utf8.dbf -s Name 20
printf 'UTF-8' > utf8.cpg
dbfadd utf8.dbf "Zoë Ångström"

dbfcreate wide.dbf -s Name 10 -n Count 12 0
dbfadd wide.dbf "Big" 123456789012
dbfadd wide.dbf "Small" -5
