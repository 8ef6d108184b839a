#!/bin/sh
# Makes dist-files/samples/sample1.xls and sample2.xls with LibreOffice
# (package libreoffice-calc-nogui). The results are committed.
set -eu
cd "$(dirname "$0")"
python3 make-samples.py
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
for src in sample1 sample2; do
  soffice -env:UserInstallation=file://"$profile" --headless --convert-to xls \
    --outdir ../samples "$src.fods" >/dev/null
done
