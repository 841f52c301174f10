// dorvex for JavaScript: the dorvex program's conversion and report.

/** 1: a metric form A..F; 2: a direct cell; 3: a reciprocal cell (2 pi). */
export type Mode = 1 | 2 | 3;

/** One failed call of the square root or the arc cosine. */
export interface DomainError {
  /** the function, as the program's report names it */
  name: 'sqrt' | 'acos';
  /** the conversion step that made the call */
  step: 'form_to_recip' | 'recipconv' | 'angles';
  /** which of the step's calls of the function, from 0 (dorvex.h and the
   * library's documentation list each step's calls) */
  call: number;
}

/** One lattice in its three descriptions, as the program has it. */
export interface Conversion {
  /** A, B, C, D, E, F of 1/d^2 = A h^2 + B k^2 + C l^2 + D kl + E hl + F hk */
  form: number[];
  /** a, b, c, alpha, beta, gamma; angles in degrees */
  direct: number[];
  /** a*, b*, c*, alpha*, beta*, gamma* (2 pi convention); degrees */
  recip: number[];
  /** each value as the shortest text the program reads back to the same
   * double; NaN and the infinities as "+NAN", "-NAN", "+INF", "-INF" */
  texts: { form: string[]; direct: string[]; recip: string[] };
  /** in the order they arose */
  domainErrors: DomainError[];
  /** the program's report, from "ABCDEF = " to its final newline */
  report: string;
}

/** Many lattices: row i of each description at 6 i. */
export interface Conversions {
  form: Float64Array;
  direct: Float64Array;
  recip: Float64Array;
  domainErrorCounts: Int32Array;
}

/** Converts six numbers; throws RangeError or TypeError for a bad mode or
 * values. NaN and infinities are carried as the program carries them. */
export function convert(mode: Mode, values: ArrayLike<number>): Conversion;

/** Converts six texts, each read as the program reads an answer (so a
 * NaN keeps the sign typed); null when one is not one number, blanks
 * around it aside. */
export function convertTexts(mode: Mode, texts: ArrayLike<string>): Conversion | null;

/** The first number of text as the program reads an answer: its value and
 * how many characters the blanks before it and the number took; null when
 * no number stands there. */
export function readNumber(text: string): { value: number; used: number } | null;

/** Converts many rows at once: six-number rows, or 6 N numbers. */
export function convertMany(mode: Mode,
  rows: ArrayLike<number>[] | Float64Array): Conversions;

/** The library's version. */
export const version: string;
