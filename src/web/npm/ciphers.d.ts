export type Method = 'rot13' | 'vigenere' | 'personal';

export interface Options {
  /** The Vigenère key: one or more of the letters A-Z and a-z. */
  key?: string;
  /** The personal method's seed, 0 to 4294967295; none seeds it from the clock. */
  seed?: number | string;
}

/** How the breaker found the key: what `ciphers vigenere --crack --json` writes. */
export interface Analysis {
  letters: number;
  ic: number;
  periods: {period: number; ic: number; fit: number | null}[];
  period: number;
  repeats: {sequence: string; positions: number[]; distances: number[]}[];
  divisors: {period: number; count: number}[];
  columns: {
    counts: number[];
    shift: number;
    letter: string;
    fit: number[];
    runner_up: {shift: number; letter: string; worse_by: number};
  }[];
  key: string;
  warning: string | null;
}

/** What the breaker found: the key, the text deciphered under it, and how it was found. */
export interface Crack<T> {
  key: string;
  plaintext: T;
  analysis: Analysis;
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
