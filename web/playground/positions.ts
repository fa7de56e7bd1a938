// Positions of the engine's diagnostics (lines, and columns counted in characters) in the
// editor's document (offsets in UTF-16 code units).
import type { Text } from '@codemirror/state';

export function offsetOf(doc: Text, line: number, column: number): number {
  if (line > doc.lines) return doc.length;
  const { from, text } = doc.line(Math.max(1, line));
  let offset = 0;
  for (let at = 1; at < column && offset < text.length; ++at) {
    offset += (text.codePointAt(offset) ?? 0) > 0xffff ? 2 : 1;
  }
  return from + offset;
}

/** The range a diagnostic marks, at least one character wide where the line has one. */
export function rangeOf(
  doc: Text,
  d: { line: number; column: number; endLine: number; endColumn: number },
): { from: number; to: number } {
  const from = offsetOf(doc, d.line, d.column);
  const to = Math.max(from, offsetOf(doc, d.endLine, d.endColumn));
  if (to > from) return { from, to };
  return { from, to: Math.min(doc.lineAt(from).to, from + 1) };
}
