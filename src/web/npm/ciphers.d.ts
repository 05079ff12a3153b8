export type Method = 'rot13' | 'vigenere' | 'personal';

export interface Options {
  /** The Vigenère key: one or more of the letters A-Z and a-z. */
  key?: string;
  /** The personal method's seed, 0 to 4294967295; none seeds it from the clock. */
  seed?: number | string;
}

/** What the breaker found: the key, the text deciphered under it, and how it was found. */
export interface Crack<T> {
  key: string;
  plaintext: T;
  analysis: Record<string, unknown>;
}

export interface Ciphers {
  /** Throws an Error with the command line's message for a bad key, seed or digit line. */
  encrypt(method: Method, input: string, options?: Options): string;
  encrypt(method: Method, input: Uint8Array, options?: Options): Uint8Array;
  decrypt(method: Method, input: string, options?: Options): string;
  decrypt(method: Method, input: Uint8Array, options?: Options): Uint8Array;
  crack(input: string): Crack<string>;
  crack(input: Uint8Array): Crack<Uint8Array>;
}

export default function ciphers(): Promise<Ciphers>;
