
// The package's factory: resolves to an object whose encrypt, decrypt and crack are synchronous.
// Under Node the .wasm is read from beside this file; elsewhere it is fetched from there.
export default function ciphers() {
  const beside = new URL('./ciphers.wasm', import.meta.url);
  return createCiphersCore(ciphersOnNode
    ? {wasmBinary: require('node:fs').readFileSync(beside)}
    : {locateFile: () => beside.href});
}
