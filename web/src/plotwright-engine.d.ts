// The WebAssembly module that make web builds (src/web/bindings.cpp), as the package uses it.

export interface EngineDiagnostic {
  line: number;
  column: number;
  endLine: number;
  endColumn: number;
  severity: 'error' | 'warning' | 'note';
  code: string;
  message: string;
}

export type EngineRun = { stories: string[] } | { status: number; message: string };

export interface EngineCodec {
  delete(): void;
}

export interface EngineScenario {
  error(): string;
  diagnostics(): EngineDiagnostic[];
  tell(seed: number, count: number): EngineRun;
  statistics(): string | undefined;
  delete(): void;
}

export interface Engine {
  Codec: new () => EngineCodec;
  Scenario: new (codec: EngineCodec, file: Uint8Array, statistics: string | undefined) => EngineScenario;
}

export default function createPlotwrightEngine(): Promise<Engine>;
