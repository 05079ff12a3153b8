#!/bin/sh
# The package for Node against the native program: 64 MiB of random letters, spaces and line
# ends through `ciphers vigenere -k KEY` (and -d), and through the package's encrypt and decrypt
# under Node, bytes in and bytes out. Prints each one's MB/s, the median of 5 runs, and the
# package's rate over the native one (goal: at least 0.25). The native rate is the filter's
# from a file to /dev/null; the package's is the call alone, its input already in memory.
#   web_throughput.sh PATH/TO/ciphers PATH/TO/build-web/npm
# It fails only when something does not run or the two disagree.
set -eu
[ $# -eq 2 ] || { echo "usage: $0 PATH/TO/ciphers PATH/TO/build-web/npm" >&2; exit 2; }
exec node - "$1" "$2" <<'NODE'
const {spawnSync} = require('node:child_process');
const {mkdtempSync, writeFileSync, rmSync} = require('node:fs');
const {join, resolve} = require('node:path');
const {tmpdir} = require('node:os');
const {pathToFileURL} = require('node:url');

const [program, npm] = process.argv.slice(2);
const size = 64 << 20;
const key = 'Lemon';

function text() {
  const bytes = new Uint8Array(size);
  let state = 1;
  for (let i = 0; i < size; ++i) {
    state = (state * 48271) % 2147483647;
    const draw = state % 32;
    bytes[i] = draw < 26 ? 0x61 + draw : draw < 31 ? 0x20 : 0x0a;
  }
  return bytes;
}

function median(values) {
  return values.slice().sort((a, b) => a - b)[values.length >> 1];
}

function rate(seconds) {
  return size / seconds / 1e6;
}

(async () => {
  const input = text();
  const work = mkdtempSync(join(tmpdir(), 'web-throughput-'));
  const file = join(work, 'text');
  writeFileSync(file, input);
  const ciphers = await (await import(pathToFileURL(join(resolve(npm), 'ciphers.mjs')))).default();
  const enciphered = ciphers.encrypt('vigenere', input, {key});
  for (const [label, args, call] of [
    ['vigenere', ['-k', key], () => ciphers.encrypt('vigenere', input, {key})],
    ['vigenere -d', ['-d', '-k', key], () => ciphers.decrypt('vigenere', enciphered, {key})],
  ]) {
    const native = [];
    const wasm = [];
    for (let run = 0; run < 5; ++run) {
      const started = process.hrtime.bigint();
      const result = spawnSync('sh', ['-c', `"$0" vigenere "$@" < "${file}" > /dev/null`, program, ...args]);
      native.push(Number(process.hrtime.bigint() - started) / 1e9);
      if (result.status !== 0) throw new Error(`${program} failed: ${result.stderr}`);
      const begun = process.hrtime.bigint();
      call();
      wasm.push(Number(process.hrtime.bigint() - begun) / 1e9);
    }
    const ratio = rate(median(wasm)) / rate(median(native));
    console.log(`${label.padEnd(12)} native ${rate(median(native)).toFixed(0).padStart(5)} MB/s, ` +
                `package ${rate(median(wasm)).toFixed(0).padStart(5)} MB/s: ${ratio.toFixed(2)} of native` +
                `  goal >= 0.25: ${ratio >= 0.25 ? 'met' : 'NOT met'}`);
  }
  const check = spawnSync(program, ['vigenere', '-k', key], {input, maxBuffer: 1 << 30});
  if (Buffer.compare(check.stdout, Buffer.from(enciphered)) !== 0) {
    throw new Error('the package and the program disagree');
  }
  rmSync(work, {recursive: true});
})().catch((error) => { console.error(error.message); process.exit(1); });
NODE
