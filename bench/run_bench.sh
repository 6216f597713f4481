#!/usr/bin/env bash
# Benchmark of the converter ebook.exe on inputs made here: a 1 MB text with
# 40 chapters, a 5 KB text, an FB2 with sections, titles and an image, an
# RTF with \uN escapes, and the 1 MB text as MOBI, AZW3 and PDF (written by
# the build's kelvra_book_maker) and, where LibreOffice or ebook-convert are
# installed, as the PDFs they write. Where ebook-convert or pandoc are installed, the same
# inputs go through them side by side. For each file and converter it reports
# the median wall time, the median CPU time (user + system, steadier than
# wall time on a busy machine), how many times faster than ebook-convert
# (median wall time), the peak memory, EPUBCheck's errors and warnings, the
# entries in the table of contents and the share of the source's words found
# in the EPUB's text.
#
# usage: bench/run_bench.sh [BUILD_DIR [RUNS]]   (defaults: build, 5)
# needs: g++, libzip-dev, /usr/bin/time (package "time"), java with epubcheck
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-5}
ebook="$build/bin/ebook.exe"
[ -x "$ebook" ] || { echo "no $ebook: build the project first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package \"time\")" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -O2 -std=c++20 "$root/bench/bench_tool.cpp" -o "$work/bench_tool" -lzip
mkdir -p "$work/in" "$work/out"
"$work/bench_tool" inputs "$work/in"
inputs=(big.txt small.txt book.fb2 book.rtf)
maker="$build/tools/kelvra_book_maker"
if [ -x "$maker" ]; then
  for type in mobi azw3 pdf; do
    "$maker" "$type" "$work/in/big.txt" "$work/in/big.$type"
    cp "$work/in/big.txt.words" "$work/in/big.$type.words"
    inputs+=("big.$type")
  done
else
  echo "no $maker: the MOBI, AZW3 and PDF inputs are left out" >&2
fi
# A PDF as an office suite writes it (embedded font subsets, compressed
# pages, kerned text arrays), when LibreOffice is installed: the same text,
# its "Chapter N" lines as headings, which also give the PDF its outline.
if command -v soffice >/dev/null 2>&1; then
  awk 'BEGIN { RS = ""; print "<html><head><meta charset=\"utf-8\"/><title>The Benchmark Book</title></head><body>" }
       { gsub(/&/, "\\&amp;"); gsub(/</, "\\&lt;"); gsub(/\n/, " ") }
       /^Chapter [0-9]+$/ { print "<h1>" $0 "</h1>"; next }
       { print "<p>" $0 "</p>" }
       END { print "</body></html>" }' "$work/in/big.txt" > "$work/big-office.html"
  if soffice --headless --infilter="HTML (StarWriter)" --convert-to pdf --outdir "$work/in" "$work/big-office.html" >/dev/null 2>&1 &&
    [ -s "$work/in/big-office.pdf" ]; then
    cp "$work/in/big.txt.words" "$work/in/big-office.pdf.words"
    inputs+=(big-office.pdf)
  fi
fi

# The text as ebook-convert's own PDF output (a browser engine's print with
# embedded CID TrueType subsets), when it is installed. Its engine refuses to
# run as root without the sandbox turned off.
if command -v ebook-convert >/dev/null 2>&1 &&
  QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox QT_QPA_PLATFORM=offscreen \
    ebook-convert "$work/in/big.txt" "$work/in/big-ebook-convert.pdf" >/dev/null 2>&1 &&
  [ -s "$work/in/big-ebook-convert.pdf" ]; then
  cp "$work/in/big.txt.words" "$work/in/big-ebook-convert.pdf.words"
  inputs+=(big-ebook-convert.pdf)
fi

converters=(ours)
command -v ebook-convert >/dev/null 2>&1 && converters+=(ebook-convert)
command -v pandoc >/dev/null 2>&1 && converters+=(pandoc)

# convert CONVERTER INPUT OUTPUT: one conversion, started through $measure
# (empty, or /usr/bin/time writing the peak memory to a file).
measure=()
convert() {
  case "$1" in
    ours) "${measure[@]}" "$ebook" "$2" "$3" --no-default-epub-cover ;;
    ebook-convert) "${measure[@]}" ebook-convert "$2" "$3" --no-default-epub-cover ;;
    pandoc)
      local from
      case "$2" in *.fb2) from=fb2 ;; *.rtf) from=rtf ;; *) from=markdown ;; esac
      "${measure[@]}" pandoc -f "$from" -t epub3 "$2" -o "$3" ;;
  esac
}

# The median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The runs of the converters alternate, so that a change in the machine's
# load between runs falls on all of them alike.
printf '| file | converter | median wall time (ms) | CPU time (ms) | ebook-convert / this (wall) | peak memory (MB) | epubcheck errors | epubcheck warnings | TOC entries | source words in EPUB (%%) |\n'
printf '| --- | --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |\n'
for input in "${inputs[@]}"; do
  active=()
  for converter in "${converters[@]}"; do
    # pandoc reads none of these formats.
    case "$converter:$input" in pandoc:*.mobi | pandoc:*.azw3 | pandoc:*.pdf) continue ;; esac
    active+=("$converter")
    : > "$work/times-$converter"
    echo ok > "$work/status-$converter"
  done
  for ((i = 0; i < runs; i++)); do
    for converter in "${active[@]}"; do
      out="$work/out/$converter-$input.epub"
      rm -f "$out"
      # bash's own timer: wall, user and system seconds with millisecond resolution.
      TIMEFORMAT='%3R %3U %3S'
      if ! { time convert "$converter" "$work/in/$input" "$out" >/dev/null 2>&1; } 2>>"$work/times-$converter"; then
        echo failed > "$work/status-$converter"
      fi
    done
  done
  reference=
  if [ -f "$work/times-ebook-convert" ] && [ "$(cat "$work/status-ebook-convert")" = ok ]; then
    reference=$(awk '{ print $1 * 1000 }' "$work/times-ebook-convert" | median)
  fi
  for converter in "${active[@]}"; do
    out="$work/out/$converter-$input.epub"
    if [ "$(cat "$work/status-$converter")" = failed ] || [ ! -s "$out" ]; then
      printf '| %s | %s | failed | | | | | | | |\n' "$input" "$converter"
      continue
    fi
    wall=$(awk '{ print $1 * 1000 }' "$work/times-$converter" | median | awk '{ printf "%.1f", $1 }')
    cpu=$(awk '{ print ($2 + $3) * 1000 }' "$work/times-$converter" | median | awk '{ printf "%.1f", $1 }')
    ratio=
    [ -n "$reference" ] && ratio=$(awk -v r="$reference" -v w="$wall" 'BEGIN { if (w > 0) printf "%.1f", r / w }')
    rm -f "$out"
    measure=(/usr/bin/time -o "$work/peak" -f '%M')
    convert "$converter" "$work/in/$input" "$out" >/dev/null 2>&1 || true
    measure=()
    peak=$(tail -1 "$work/peak" | awk '{ printf "%.1f", $1 / 1024 }')
    check=$(java -jar /usr/share/java/epubcheck.jar "$out" 2>&1 | grep -E '^Messages:' || true)
    errors=$(echo "$check" | awk '{ print $2 + $5 }')
    warnings=$(echo "$check" | awk '{ print $8 }')
    toc=$("$work/bench_tool" toc "$out")
    share=$("$work/bench_tool" share "$work/in/$input.words" "$out")
    printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$input" "$converter" "$wall" "$cpu" "$ratio" "$peak" "${errors:-?}" "${warnings:-?}" "$toc" "$share"
  done
done
