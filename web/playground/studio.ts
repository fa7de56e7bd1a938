// The story as an author reads it: each line leads to the scenario line that wrote it, the
// path the story took with the values its conditions read, and the command line that tells the
// same story.
import type { StoryLine, TraceEvent } from '../src/plotwright.js';

// The story's lines as spans: one with a line of its own leads there when clicked. The
// element's text stays the story's text.
export function storyLines(lines: readonly StoryLine[], goTo: (line: number) => void): Node[] {
  return lines.map((line) => {
    const span = document.createElement('span');
    span.className = 'story-line';
    span.textContent = `${line.text}\n`;
    if (line.line !== undefined) {
      const target = line.line;
      span.dataset.line = String(target);
      span.title = `written by line ${target}`;
      span.addEventListener('click', () => goTo(target));
    } else if (line.scene !== undefined) {
      span.dataset.scene = line.scene;
      span.title = `written by the built-in scene ${line.scene}`;
    }
    return span;
  });
}

interface Candidate {
  name?: string;
  condition?: boolean;
  drawn?: boolean;
  disabled?: boolean;
  read?: string;
}

// One step of the path in words: "jump → K", "draw at K: J (condition false) [%m = 0, wanted
// >= 1], J (drawn)", "skip J: condition false (%n = 0, wanted 2)".
export function traceStep(event: TraceEvent): string {
  const name = String(event.name ?? event.target ?? '');
  const read = event.read === undefined ? '' : ` (${event.read})`;
  switch (event.event) {
    case 'enter':
      return `${event.how} → ${name}${read}`;
    case 'draw': {
      const candidates = (event.candidates as Candidate[] | undefined) ?? [];
      const each = candidates.map((c) => {
        const notes = [c.drawn && 'drawn', c.disabled && 'disabled', c.condition === false && 'condition false'];
        const said = notes.filter(Boolean).join(', ');
        return `${c.name}${said ? ` (${said})` : ''}${c.read === undefined ? '' : ` [${c.read}]`}`;
      });
      return `draw at ${name}: ${each.join(', ') || 'no candidate'}`;
    }
    case 'skip':
      return `skip ${name}: ${event.reason ?? ''}${read}`;
    case 'missing':
      return `missing scene ${name}`;
    case 'directive':
      return `${event.kind} ${name}${read}`;
    default:
      return `${event.event}: ${event.limit ?? event.reason ?? ''}`;
  }
}

// A word for a POSIX shell: as it is when it is plain, else in single quotes.
export function shellWord(word: string): string {
  return /^[A-Za-z0-9_./:=@%+-]+$/.test(word) ? word : `'${word.replace(/'/g, `'\\''`)}'`;
}

// `plotwright --seed N [--start NAME] [--no-stats] FILE`.
export function commandLine(seed: number, start: string, statistics: boolean, file: string): string {
  const words = ['plotwright', '--seed', String(seed)];
  if (start !== '') words.push('--start', shellWord(start));
  if (!statistics) words.push('--no-stats');
  words.push(shellWord(file));
  return words.join(' ');
}

// The keywords that open a block whose name --start can take.
const BLOCK_HEADER = /^(?:lumen|scene|set|test|action|title|system|koru|system_mes|bunki|select)[ \t]+(.+)$/;

// The name of the block that line `line` (1-based) of `lines` stands in: the nearest header at
// or above it, or '' for none.
export function blockAt(lines: (n: number) => string, line: number): string {
  for (let n = line; n >= 1; --n) {
    const header = BLOCK_HEADER.exec(lines(n));
    if (header) return header[1];
  }
  return '';
}
