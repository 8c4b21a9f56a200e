#!/usr/bin/env bash
# Applies an SQL file to an installer package with msibuild: one statement a line; empty lines
# and lines starting with "--" are skipped. Usage: apply-sql.sh PACKAGE.msi FILE.sql
set -euo pipefail
package="$1"
queries=()
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in ""|--*) ;; *) queries+=(-q "$line") ;; esac
done < "$2"
msibuild "$package" "${queries[@]}"
