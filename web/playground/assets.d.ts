// What the bundler makes of the files the page takes in whole: texts and WebAssembly bytes.
declare module '*.vell' {
  const text: string;
  export default text;
}

declare module '*.wasm' {
  const bytes: Uint8Array;
  export default bytes;
}
