#!/usr/bin/env bash
# Derives damaged recipient tables from the well-formed fixtures in tests/data/tables: cut
# headers, record counts and sizes far beyond the file, broken block chains, unknown field
# types and broken delimited text. Each must be refused with a database error, without the
# reader allocating what the header claims. Files named fuzz_* were found by the fuzz targets
# and are kept as they are. Run from anywhere; rewrites the other files.
set -euo pipefail
cd "$(dirname "$0")"
src=../../tables
rm -f dbf_* px_* csv_* txt_*

# patch FILE OFFSET HEXBYTES: overwrite bytes in place
patch() { printf "$(echo "$3" | sed 's/../\\x&/g')" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }

head -c 20 $src/people.dbf > dbf_truncated_header.dbf
cp $src/people.dbf dbf_huge_record_count.dbf;  patch dbf_huge_record_count.dbf 4 ffffff7f
cp $src/people.dbf dbf_huge_record_length.dbf; patch dbf_huge_record_length.dbf 10 ffff
cp $src/people.dbf dbf_header_past_end.dbf;    patch dbf_header_past_end.dbf 8 ffff
head -c 200 $src/people.dbf > dbf_truncated_records.dbf
cp $src/people.dbf dbf_field_wider_than_record.dbf; patch dbf_field_wider_than_record.dbf 48 ff
: > dbf_empty.dbf

head -c 100 $src/contacts.DB > px_truncated_header.DB
cp $src/contacts.DB px_huge_record_count.DB;  patch px_huge_record_count.DB 6 ffffff7f
cp $src/contacts.DB px_huge_header_size.DB;   patch px_huge_header_size.DB 2 ffff
cp $src/contacts.DB px_bad_block_chain.DB;    patch px_bad_block_chain.DB 14 0900
cp $src/contacts.DB px_looping_block_chain.DB; patch px_looping_block_chain.DB 2048 0100
cp $src/contacts.DB px_unknown_field_type.DB; patch px_unknown_field_type.DB 120 40
cp $src/contacts.DB px_record_size_mismatch.DB; patch px_record_size_mismatch.DB 0 ff00
cp $src/contacts.DB px_many_file_blocks.DB;   patch px_many_file_blocks.DB 12 ffff
cp $src/contacts.DB px_field_count_huge.DB;   patch px_field_count_huge.DB 33 ff00
: > px_empty.DB

printf 'Name,City\n"Ann,Rome\n' > csv_unterminated_quote.csv
printf 'Name\nAnn,Rome\n' > csv_more_values_than_fields.csv
printf 'Name,NAME\nAnn,Bob\n' > txt_duplicate_field_names.txt
printf 'Name,,City\nAnn,x,Rome\n' > txt_empty_field_name.txt
