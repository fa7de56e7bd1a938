// The WebAssembly module that make web builds (src/web/bindings.cpp), as the package uses it.

/**
 * The diagnostics: seven numbers each (line, column, end line, end column, the index of the
 * severity's word in `severities`, the index of the code in `codes`, the length of the
 * message), and the messages one after another. `numbers` is a view of the engine's memory:
 * copy it at once.
 */
export interface EngineDiagnostics {
  numbers: Int32Array;
  severities: Array<'error' | 'warning' | 'note'>;
  codes: string[];
  messages: string;
}

/**
 * The stories and the notes about them ("story 2 was cut short by ..."), or why there are
 * none: the scenario's messages, or (`overLimit`) that the stories passed the 64 MiB (UTF-8)
 * that one call may return.
 */
export type EngineRun =
  | { stories: string[]; notes: string[] }
  | { status: number; message: string; overLimit?: true };

export type EngineCoverage = { report: string; graph?: string } | { status: number; message: string };

export type EngineTraced =
  | { text: string; lines: number[]; words: string[]; trace: string; cutShort: string }
  | { status: number; message: string };

export interface EngineCodec {
  delete(): void;
}

export interface EngineScenario {
  error(): string;
  diagnostics(): EngineDiagnostics;
  tell(seed: number, count: number): EngineRun;
  tellTraced(seed: number, start: string): EngineTraced;
  graph(title: string, mermaid: boolean, lines: boolean): string;
  coverage(seed: number, runs: number, file: string, graph: boolean): EngineCoverage;
  statistics(): string | undefined;
  delete(): void;
}

export interface Engine {
  Codec: new () => EngineCodec;
  Scenario: new (codec: EngineCodec, file: Uint8Array, statistics: string | undefined) => EngineScenario;
}

export default function createPlotwrightEngine(): Promise<Engine>;
