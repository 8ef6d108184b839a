#!/bin/sh
# Makes the spreadsheet fixtures of the import tests from their flat ODS
# sources with LibreOffice (package libreoffice-calc-nogui). The results are
# committed; run again after changing a source.
set -eu
cd "$(dirname "$0")"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
for src in *.fods; do
  for fmt in xls xlsx; do
    soffice -env:UserInstallation=file://"$profile" --headless --convert-to "$fmt" "$src" >/dev/null
  done
done
