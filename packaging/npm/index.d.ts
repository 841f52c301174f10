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
  /** a*, b*, c*, alpha*, beta*, gamma* in the convention shown; degrees */
  recip: number[];
  /** V of the direct cell, Å^3 (NaN for no cell) */
  volume: number;
  /** V* in the convention shown */
  recipVolume: number;
  /** A..F in double throughout from the values given; d comes from it */
  metric: number[];
  /** "2pi" (a* = 2 pi / a, the program's) or "1" (a* = 1 / a) */
  convention: Convention;
  /** each value as the shortest text the program reads back to the same
   * double; NaN and the infinities as "+NAN", "-NAN", "+INF", "-INF" */
  texts: { form: string[]; direct: string[]; recip: string[] };
  /** in the order they arose */
  domainErrors: DomainError[];
  /** the program's report (2 pi), from "ABCDEF = " to its final newline */
  report: string;
}

/** The reciprocal cell's convention, given and shown: "2pi" (default). */
export type Convention = '2pi' | '1';
export interface Options { convention?: Convention }

/** One reflection: 2 theta in degrees, null where the wavelength cannot
 * reach it or none was given. */
export interface Reflection { h: number; k: number; l: number; d: number; twoTheta: number | null }

/** Every reflection with d >= dMin (Å), (0 0 0) left out and one of each
 * Friedel pair, by d descending; wavelength in Å or a name of xrayLines. */
export function reflections(conversion: Conversion, dMin: number,
  wavelength?: number | string | null): Reflection[];

/** The characteristic X-ray lines: name ("CuKa1", ...) -> wavelength, Å. */
export const xrayLines: Record<string, number>;

/** Many lattices: row i of each description at 6 i. */
export interface Conversions {
  form: Float64Array;
  direct: Float64Array;
  recip: Float64Array;
  domainErrorCounts: Int32Array;
  volume: Float64Array;
  recipVolume: Float64Array;
}

/** Converts six numbers; throws RangeError or TypeError for a bad mode or
 * values. NaN and infinities are carried as the program carries them. */
export function convert(mode: Mode, values: ArrayLike<number>, options?: Options): Conversion;

/** Converts six texts, each read as the program reads an answer (so a
 * NaN keeps the sign typed); null when one is not one number, blanks
 * around it aside. */
export function convertTexts(mode: Mode, texts: ArrayLike<string>, options?: Options): Conversion | null;

/** The first number of text as the program reads an answer: its value and
 * how many characters the blanks before it and the number took; null when
 * no number stands there. */
export function readNumber(text: string): { value: number; used: number } | null;

/** Converts many rows at once: six-number rows, or 6 N numbers. */
export function convertMany(mode: Mode,
  rows: ArrayLike<number>[] | Float64Array, options?: Options): Conversions;

/** The library's version. */
export const version: string;
