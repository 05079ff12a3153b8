// The package against the native program: random bytes through every method and direction give
// the filter's bytes, and strings come back as strings.
// Usage: node --test package.test.mjs, with CIPHERS_NPM (the package's folder) and
// CIPHERS_NATIVE (the program) in the environment.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {randomBytes, randomInt} from 'node:crypto';
import {join} from 'node:path';
import {test} from 'node:test';
import {pathToFileURL} from 'node:url';

const ciphers = await (await import(pathToFileURL(join(process.env.CIPHERS_NPM, 'ciphers.mjs')))).default();

function native(args, input) {
  const run = spawnSync(process.env.CIPHERS_NATIVE, args, {input, maxBuffer: 1 << 30});
  return {output: new Uint8Array(run.stdout), status: run.status, error: run.stderr.toString()};
}

// Random bytes with lines, letters and the block edges of the filters inside them.
function randomInput() {
  const bytes = randomBytes(randomInt(0, 600_000));
  for (let i = 0; i < bytes.length; i += randomInt(1, 200)) {
    bytes[i] = i % 3 === 0 ? 0x0a : 0x41 + (bytes[i] % 26);
  }
  return new Uint8Array(bytes);
}

test('every method and direction gives the filter\'s bytes', () => {
  for (let round = 0; round < 6; ++round) {
    const input = randomInput();
    const seed = randomInt(0, 2 ** 32);
    const key = 'KeyOfLetters'.slice(0, randomInt(1, 12));
    const personal = ciphers.encrypt('personal', input, {seed});
    assert.deepEqual(personal, native(['personal', '--seed', String(seed)], input).output);
    assert.deepEqual(ciphers.decrypt('personal', personal), input);
    for (const [method, options, args] of [['rot13', {}, []], ['vigenere', {key}, ['-k', key]]]) {
      for (const decrypt of [false, true]) {
        const got = (decrypt ? ciphers.decrypt : ciphers.encrypt)(method, input, options);
        const want = native([method, ...args, ...(decrypt ? ['-d'] : [])], input).output;
        assert.deepEqual(got, want, `${method} ${decrypt ? '-d' : ''} on ${input.length} bytes`);
      }
    }
  }
});

test('a bad input throws the filter\'s message, and the breaker finds its key', () => {
  const digits = new TextEncoder().encode('1234\n12a4\n');
  const cli = native(['personal', '-d'], digits);
  assert.equal(cli.status, 1);
  assert.throws(() => ciphers.decrypt('personal', digits),
    {message: cli.error.trim().replace(/^ciphers: /, '')});
  assert.throws(() => ciphers.encrypt('vigenere', 'text', {key: 'k3y'}), /holds a character other/);
  const text = 'It is a truth universally acknowledged that a single man in possession of a good '
    + 'fortune must be in want of a wife, however little known the feelings or views of such a man';
  const ciphertext = ciphers.encrypt('vigenere', text, {key: 'pride'});
  const crack = ciphers.crack(ciphertext);
  assert.equal(crack.key, new TextDecoder().decode(native(['vigenere', '--crack'], ciphertext).output).trim());
  assert.equal(crack.plaintext, text.toUpperCase());
});
