#!/usr/bin/env bash
# Refreshes the brand fonts in this folder from the npm registry's font packages.
# Needs npm and Debian's python3-fonttools and python3-brotli.
# The variable display face is shipped as TrueType with its family name set to
# "Bricolage Grotesque" (the web package names its default instance instead).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
npm pack --silent @fontsource-variable/bricolage-grotesque@5.3.0 @ibm/plex-sans@1.1.0 @ibm/plex-mono@2.5.0 >/dev/null
for f in *.tgz; do mkdir "${f%.tgz}"; tar xzf "$f" -C "${f%.tgz}"; done

/usr/bin/python3 - "$work"/fontsource-variable-bricolage-grotesque-5.3.0/package/files/bricolage-grotesque-latin-standard-normal.woff2 \
  "$here/BricolageGrotesque-Variable.ttf" <<'PY'
import sys
from fontTools.ttLib import TTFont
font = TTFont(sys.argv[1])
font.flavor = None
names = font['name']
for record in list(names.names):
    if record.nameID in (16, 17):
        names.removeNames(nameID=record.nameID)
for nid, text in ((1, 'Bricolage Grotesque'), (2, 'Regular'), (3, '1.001;ATLR;BricolageGrotesque-Variable'),
                  (4, 'Bricolage Grotesque'), (6, 'BricolageGrotesque-Variable')):
    names.setName(text, nid, 3, 1, 0x409)
font.save(sys.argv[2])
PY
cp "$work"/fontsource-variable-bricolage-grotesque-5.3.0/package/LICENSE "$here/OFL-BricolageGrotesque.txt"

for family in Sans Mono; do
  pkg=$(ls -d "$work"/ibm-plex-$(echo $family | tr A-Z a-z)-*/package)
  for weight in Thin ExtraLight Light Regular Medium SemiBold Bold; do
    cp "$pkg/fonts/complete/woff2/IBMPlex$family-$weight.woff2" "$here/"
  done
  cp "$pkg/LICENSE.txt" "$here/OFL-IBMPlex$family.txt"
done
