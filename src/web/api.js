// The module's functions for scripts, inside the module: text or bytes in, the same kind out.
// They only move bytes in and out of the module's memory; every rule runs in C++.

function ciphersBytes(input) {
  if (typeof input === 'string') {
    return new TextEncoder().encode(input);
  }
  if (input instanceof Uint8Array) {
    return input;
  }
  throw new TypeError('the input must be a string or a Uint8Array');
}

function ciphersCString(text) {
  if (text === undefined || text === null) {
    return 0;
  }
  const value = String(text);
  const size = lengthBytesUTF8(value) + 1;
  const pointer = _malloc(size);
  stringToUTF8(value, pointer, size);
  return pointer;
}

// Calls the C++ function on a copy of the bytes; gives its output, or throws its message.
function ciphersCall(bytes, call) {
  const pointer = _malloc(Math.max(bytes.length, 1));
  HEAPU8.set(bytes, pointer);
  const status = call(pointer, bytes.length);
  _free(pointer);
  const start = _webResultData();
  const result = HEAPU8.slice(start, start + _webResultSize());
  _webResultClear();
  if (status !== 0) {
    throw new Error(new TextDecoder().decode(result));
  }
  return result;
}

function ciphersRun(method, decrypt, input, options) {
  const bytes = ciphersBytes(input);
  const settings = options || {};
  const strings = [method, settings.key, settings.seed].map(ciphersCString);
  try {
    const output = ciphersCall(bytes, (pointer, size) =>
      _webTransform(strings[0], decrypt ? 1 : 0, strings[1], strings[2], pointer, size));
    return typeof input === 'string' ? new TextDecoder().decode(output) : output;
  } finally {
    strings.forEach((pointer) => pointer && _free(pointer));
  }
}

Module['encrypt'] = (method, input, options) => ciphersRun(method, false, input, options);
Module['decrypt'] = (method, input, options) => ciphersRun(method, true, input, options);

Module['crack'] = (input) => {
  const analysis = JSON.parse(new TextDecoder().decode(ciphersCall(ciphersBytes(input), _webCrack)));
  const plaintext = ciphersRun('vigenere', true, input, {key: analysis.key});
  return {key: analysis.key, plaintext, analysis};
};

// English's letter probabilities, A to Z, for drawing a column against them.
Module['englishLetters'] = () => {
  const start = _webEnglishLetters() / Float64Array.BYTES_PER_ELEMENT;
  return Array.from(HEAPF64.subarray(start, start + 26));
};
