#!/usr/bin/env bash
# Refreshes translations/corvane_*.ts from the sources and the form: new texts are added as
# unfinished, texts gone from the code are dropped (git keeps their old translations). Run after
# changing user-visible texts, then translate the new entries with Qt Linguist
# (linguist translations/corvane_de.ts) and commit the .ts files.
set -euo pipefail
cd "$(dirname "$0")/.."
sources=(core app ui service catalogue connection quickconnect monitor update)
for ts in translations/corvane_*.ts; do
    lupdate -I . -no-obsolete -no-ui-lines -locations relative -extensions cpp,h,ui "${sources[@]}" -ts "$ts"
done
