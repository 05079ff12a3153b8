// Under Node the module reads its .wasm from beside this file, with Node's own require.
const ciphersOnNode = typeof process === 'object' && typeof process.versions?.node === 'string';
const require = ciphersOnNode
  ? (await import('node:module')).createRequire(import.meta.url)
  : undefined;
const __dirname = ciphersOnNode
  ? require('node:path').dirname(require('node:url').fileURLToPath(import.meta.url))
  : undefined;
