// The playground's coverage runs, off the page's thread: a request {text, statistics, runs,
// seed, file} compiles the scenario and plays its stories through the package's coverage, and
// answers {report, graph} (the JSON report, and the graph shaded by the same stories) or
// {failure} (why the scenario tells no story). The page ends a batch it no longer wants by
// ending the worker.
import { Scenario } from '../src/plotwright.js';

export interface CoverageRequest {
  text: string;
  statistics: string | undefined;
  runs: number;
  seed: number;
  file: string;
}

export type CoverageAnswer = { report: string; graph: string } | { failure: string };

async function answer(request: CoverageRequest): Promise<CoverageAnswer> {
  let scenario: Scenario | undefined;
  try {
    const { statistics } = request;
    scenario = await Scenario.compile(request.text, statistics === undefined ? {} : { statistics });
    return scenario.coverageAndGraph({ runs: request.runs, seed: request.seed, file: request.file });
  } catch (error) {
    return { failure: error instanceof Error ? error.message : String(error) };
  } finally {
    scenario?.dispose();
  }
}

const scope = self as unknown as {
  onmessage: (event: MessageEvent<CoverageRequest>) => void;
  postMessage: (answer: CoverageAnswer) => void;
};
scope.onmessage = (event) => {
  void answer(event.data).then((reply) => scope.postMessage(reply));
};
