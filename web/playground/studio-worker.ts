// The playground's worker: the page's requests served by StudioWork off the page's thread. The
// page starts one that lives as long as the page, for checks and stories, and one for each
// coverage batch, which it ends when the text changes.
import type { StudioAnswer, StudioRequest } from './studio-protocol.js';
import { StudioWork } from './studio-work.js';

const scope = self as unknown as {
  onmessage: (event: MessageEvent<StudioRequest>) => void;
  postMessage: (answer: StudioAnswer) => void;
};
const work = new StudioWork((answer) => scope.postMessage(answer));
scope.onmessage = (event) => work.receive(event.data);
