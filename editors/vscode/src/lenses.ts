// The blocks a story can be played from, as the language server's outline lists them: the
// title, scene and select blocks that have a name. Free of the editor's API, so that its tests
// run under plain Node.

export interface OutlineBlock {
  name: string;
  detail?: string; // the block's keyword
  line: number; // of its name, counted from 0
}

const STARTING_KEYWORDS = new Set(['title', 'scene', 'select']);

export function startingBlocks(outline: readonly OutlineBlock[]): OutlineBlock[] {
  return outline.filter(
    (block) =>
      block.detail !== undefined &&
      STARTING_KEYWORDS.has(block.detail) &&
      block.name !== `(${block.detail} without a name)`,
  );
}
