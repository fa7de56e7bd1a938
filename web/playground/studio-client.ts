// The page's side of its workers: each started from the worker's script, bundled into the
// page as text (a worker from a file of its own would not start on a file:// page).
import workerSource from 'studio-worker-source';
import type { StudioAnswer, StudioRequest } from './studio-protocol.js';
import { StudioWork } from './studio-work.js';

export interface StudioPort {
  post(request: StudioRequest): void;
  /** Ends the worker: nothing it was doing is answered any more. */
  end(): void;
  /** False where this browser starts no worker here and the work runs on the page's thread. */
  readonly offThread: boolean;
}

export class Studios {
  private url: string | undefined; // the worker's script, made once and kept for every worker

  /** A worker whose answers go to `onAnswer`; the same work on the page where no worker starts. */
  start(onAnswer: (answer: StudioAnswer) => void): StudioPort {
    try {
      this.url ??= URL.createObjectURL(new Blob([workerSource], { type: 'text/javascript' }));
      const worker = new Worker(this.url);
      worker.onmessage = (event: MessageEvent<StudioAnswer>) => onAnswer(event.data);
      worker.onerror = (event) => onAnswer({ kind: 'lost', message: event.message });
      return { post: (request) => worker.postMessage(request), end: () => worker.terminate(), offThread: true };
    } catch {
      let ended = false;
      const work = new StudioWork((answer) => ended || onAnswer(answer));
      return { post: (request) => work.receive(request), end: () => (ended = true), offThread: false };
    }
  }
}
