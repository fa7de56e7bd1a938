// What the bundler makes of the files the page takes in whole: texts and WebAssembly bytes.
declare module '*.vell' {
  const text: string;
  export default text;
}

declare module '*.wasm' {
  const bytes: Uint8Array;
  export default bytes;
}

// The studio worker's script, bundled on its own and taken in as text (scripts/build.mjs).
declare module 'studio-worker-source' {
  const source: string;
  export default source;
}
