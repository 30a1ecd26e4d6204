#!/usr/bin/env bash
# The printed pages of both samples, as a person sees them on paper: tekutool render writes each
# as a PDF (with its solution pages, on A4 and on B5 landscape with 大きな文字) and pdftoppm turns
# every page into a PNG to look at.
# usage: look-print.sh PROGRAM_DIR OUTDIR
set -euo pipefail
program=$1
out=$2
mkdir -p "$out"
for sample in SAMPLE1 SAMPLE2; do
  "$program/tekutool" render "$program/$sample.CRS" "$out/$sample-A4.pdf" --solution
  "$program/tekutool" render "$program/$sample.CRS" "$out/$sample-B5-large.pdf" --solution --paper B5 --landscape --large
  for pdf in "$out/$sample-A4.pdf" "$out/$sample-B5-large.pdf"; do
    pdftoppm -r 72 -png "$pdf" "${pdf%.pdf}"
  done
done
ls "$out"/*.png
