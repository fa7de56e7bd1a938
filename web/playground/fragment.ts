// The page's address fragment: what a Share link carries, and what the page reads on load.
//   #scenario=COMPRESSED[&seed=N][&statistics=COMPRESSED]   written by Share
//   #text=URL-ENCODED-UTF-8[&seed=N]                        written by hand or by a program
// COMPRESSED is the UTF-8 text compressed with raw DEFLATE, in base64url without padding.

export interface Shared {
  text: string;
  seed?: number;
  /** The statistics the shared story was told from, so that it is told the same. */
  statistics?: string;
}

async function through(bytes: Uint8Array, stream: CompressionStream | DecompressionStream): Promise<Uint8Array> {
  const out = new Blob([bytes as BlobPart]).stream().pipeThrough(stream);
  return new Uint8Array(await new Response(out).arrayBuffer());
}

function toBase64Url(bytes: Uint8Array): string {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) {
    binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  }
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64Url(text: string): Uint8Array {
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

export async function compress(text: string): Promise<string> {
  return toBase64Url(await through(new TextEncoder().encode(text), new CompressionStream('deflate-raw')));
}

export async function decompress(data: string): Promise<string> {
  const bytes = await through(fromBase64Url(data), new DecompressionStream('deflate-raw'));
  return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
}

export async function writeFragment(shared: Shared): Promise<string> {
  let fragment = `scenario=${await compress(shared.text)}`;
  if (shared.seed !== undefined) fragment += `&seed=${shared.seed}`;
  if (shared.statistics) fragment += `&statistics=${await compress(shared.statistics)}`;
  return fragment;
}

function parseSeed(text: string | undefined): number | undefined {
  if (text === undefined || !/^[0-9]{1,10}$/.test(text)) return undefined;
  const seed = Number(text);
  return seed <= 4294967295 ? seed : undefined;
}

/** The fragment's scenario, or null when it holds none; throws when it cannot be read. */
export async function readFragment(fragment: string): Promise<Shared | null> {
  const fields = new Map<string, string>();
  for (const part of fragment.replace(/^#/, '').split('&')) {
    const equals = part.indexOf('=');
    if (equals > 0) fields.set(part.slice(0, equals), part.slice(equals + 1));
  }
  const seed = parseSeed(fields.get('seed'));
  const statisticsField = fields.get('statistics');
  const statistics = statisticsField === undefined ? undefined : await decompress(statisticsField);
  const compressed = fields.get('scenario');
  if (compressed !== undefined) return { text: await decompress(compressed), seed, statistics };
  const plain = fields.get('text');
  if (plain !== undefined) return { text: decodeURIComponent(plain), seed, statistics };
  return null;
}
