#!/bin/sh
# Which outputs each program draws, and that a picture is the same through both: tesral-cli
# hands it to tesral-cli-plots. usage: picture_formats.sh TESRAL_CLI TESRAL_CLI_PLOTS
cli=$1 plots=$2
fail() { echo "$*"; exit 1; }
run=--limits=1,1,1,1,1
for command in "plot2d $run" "plot3d $run --rotate 1:10" "powder --two-theta 20:40:0.1" \
               "zone --axis periodic $run"; do
  name=${command%% *}
  for ext in png bmp svg wmf pdf PDF; do
    for program in "$cli" "$plots"; do
      rm -f "$name.$ext"
      $program $command --size 120x90 --output "$name.$ext" 2>/dev/null ||
        fail "$program $command: .$ext refused"
      mv "$name.$ext" "$(basename "$program").$name.$ext"
    done
    a=tesral-cli.$name.$ext b=tesral-cli-plots.$name.$ext
    case $ext in
      # Qt writes a PDF's fonts in an order of its own each time, and its date: the same size.
      pdf|PDF) [ "$(wc -c < "$a")" = "$(wc -c < "$b")" ] ;;
      *) cmp -s "$a" "$b" ;;
    esac || fail "$command: the .$ext pictures differ"
  done
  head -c 4 "tesral-cli.$name.png" | grep -q PNG || fail "$name: no PNG"
  head -c 4 "tesral-cli.$name.pdf" | grep -q PDF || fail "$name: no PDF"
  head -c 2 "tesral-cli.$name.bmp" | grep -q BM || fail "$name: no BMP"
  # Any other extension: the same mistake, or the same text, through both.
  for ext in gif csv tsv; do
    for program in "$cli" "$plots"; do
      $program $command --output "x.$ext" > /dev/null 2> "$(basename "$program").err"
      echo $? >> "$(basename "$program").err"
      [ -f "x.$ext" ] && cat "x.$ext" >> "$(basename "$program").err"
      rm -f "x.$ext"
    done
    cmp -s tesral-cli.err tesral-cli-plots.err || fail "$command: .$ext differs between the programs"
  done
done
exit 0
