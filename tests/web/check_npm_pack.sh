#!/bin/sh
# npm pack makes a package of the npm folder that Node imports by its name, with its .wasm.
# Usage: check_npm_pack.sh NPM_DIR
set -eu
npm_dir=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
npm pack --silent "$npm_dir" > packed
tarball=$(tail -n 1 packed)
mkdir -p node_modules/ciphers
tar -xzf "$tarball" -C node_modules/ciphers --strip-components=1
for file in package.json ciphers.mjs ciphers.wasm ciphers.d.ts; do
  test -f "node_modules/ciphers/$file" || { echo "the package lacks $file" >&2; exit 1; }
done
cat > check.mjs <<'SCRIPT'
const c = await (await import('ciphers')).default();
const out = c.encrypt('rot13', 'Hello');
if (out !== 'Uryyb') throw new Error(`rot13 of Hello gave ${out}`);
SCRIPT
node check.mjs
echo "npm pack: $tarball imports and runs"
