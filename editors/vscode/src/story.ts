// Runs the plotwright program for one story of a scenario file and reads what it wrote.
// Free of the editor's API, so that its tests run under plain Node.
import { execFile } from 'node:child_process';

// Where a story line came from: the scenario line that wrote it (counted from 0; null when
// none did), or the built-in scene whose own lines did ("No", "last_message", ...).
export type LineSource = { line: number | null } | { builtin: string };

// What one run gave: a story (with its lines' sources when the language server told it), the
// compile's error messages instead of a story, or a failure to run at all (no such program, an
// unreadable file, an encoding error).
export type StoryOutcome =
  | { kind: 'story'; seed: number; text: string; sources?: LineSource[] }
  | { kind: 'errors'; seed: number; text: string }
  | { kind: 'failure'; seed: number; message: string };

// The language server's story request: one story of the open text, as the command line tells
// it with the same arguments, and where each of its lines came from.
export const STORY_REQUEST = 'plotwright/story';

export function storyParams(uri: string, seed: number, start?: string) {
  return start === undefined ? { textDocument: { uri }, seed } : { textDocument: { uri }, seed, start };
}

export interface StoryResult {
  text: string;
  lines: LineSource[];
}

// Exit statuses of plotwright.
const EXIT_STORY = 0;
const EXIT_SCENARIO_ERRORS = 1;

// A story holds at most about 320 KB; as JSON, escapes may multiply that.
const MAX_OUTPUT_BYTES = 16 * 1024 * 1024;
const TIMEOUT_MS = 30_000;

// A seed for --seed, from 0 to 2^31 - 1.
export function newSeed(random: () => number = Math.random): number {
  return Math.floor(random() * 0x80000000);
}

// The command line for one story of `file`, from the block named `start` when given: no
// statistics are read or written, so looking at stories in the editor leaves the scenario's use
// counts alone. `--start=NAME` keeps a name that begins with '-' from reading as an option.
export function storyArguments(file: string, seed: number, start?: string): string[] {
  const from = start === undefined ? [] : [`--start=${start}`];
  return ['--no-stats', '--seed', String(seed), ...from, '--json', '--', file];
}

// The text of the first story in plotwright's --json output (one object per line,
// {"index":0,"text":"..."}), or undefined when there is none.
export function firstStoryText(stdout: string): string | undefined {
  const line = stdout.split('\n').find((l) => l.trim() !== '');
  if (line === undefined) return undefined;
  try {
    const story: unknown = JSON.parse(line);
    if (typeof story === 'object' && story !== null && 'text' in story) {
      const text = (story as { text: unknown }).text;
      if (typeof text === 'string') return text;
    }
  } catch {
    // not JSON: reported by the caller as unreadable output
  }
  return undefined;
}

// The outcome of a finished run, from its exit status and output.
export function outcomeOf(
  seed: number,
  status: number | null,
  stdout: string,
  stderr: string,
): StoryOutcome {
  if (status === EXIT_STORY || status === EXIT_SCENARIO_ERRORS) {
    const text = firstStoryText(stdout);
    if (text !== undefined) {
      return { kind: status === EXIT_STORY ? 'story' : 'errors', seed, text };
    }
    return { kind: 'failure', seed, message: `plotwright wrote no story it could read: ${firstLine(stdout || stderr)}` };
  }
  const message = stderr.trim() || `plotwright stopped with exit status ${status ?? 'unknown'}`;
  return { kind: 'failure', seed, message };
}

function firstLine(text: string): string {
  const line = text.trim().split('\n')[0] ?? '';
  return line.length > 200 ? `${line.slice(0, 200)}…` : line;
}

// Runs `program` for one story of `file` with `seed`, from the block `start` when given.
export function runStory(program: string, file: string, seed: number, start?: string): Promise<StoryOutcome> {
  return new Promise((resolve) => {
    execFile(
      program,
      storyArguments(file, seed, start),
      { encoding: 'utf8', maxBuffer: MAX_OUTPUT_BYTES, timeout: TIMEOUT_MS, windowsHide: true },
      (error, stdout, stderr) => {
        if (error === null) {
          resolve(outcomeOf(seed, 0, stdout, stderr));
          return;
        }
        const code = (error as NodeJS.ErrnoException).code;
        if (code === 'ENOENT' || code === 'EACCES') {
          resolve({
            kind: 'failure',
            seed,
            message: `Cannot run "${program}": set plotwright.path to the plotwright program.`,
          });
        } else if (code === 'ERR_CHILD_PROCESS_STDIO_MAXBUFFER') {
          resolve({ kind: 'failure', seed, message: 'plotwright wrote more than the story view takes.' });
        } else if (error.killed) {
          resolve({ kind: 'failure', seed, message: `plotwright did not finish within ${TIMEOUT_MS / 1000} seconds.` });
        } else {
          resolve(outcomeOf(seed, typeof code === 'number' ? code : null, stdout, stderr));
        }
      },
    );
  });
}
