// Vell highlighting in CodeMirror from the TextMate grammar of the editor support
// (editors/vscode/syntaxes/vell.tmLanguage.json), run by the same engine VS Code runs it with.
import { HighlightStyle, StreamLanguage, syntaxHighlighting } from '@codemirror/language';
import type { Extension } from '@codemirror/state';
import { type Tag, tags } from '@lezer/highlight';
import { createOnigScanner, createOnigString, loadWASM } from 'vscode-oniguruma';
import { INITIAL, type IGrammar, type IRawGrammar, Registry, type StateStack } from 'vscode-textmate';
import onigWasm from 'vscode-oniguruma/release/onig.wasm';
import grammarJson from '../../editors/vscode/syntaxes/vell.tmLanguage.json';

// The token kinds the page colours, each from the innermost scope that says something.
const KINDS: ReadonlyArray<[RegExp, string, Tag]> = [
  [/^invalid\./, 'vell-invalid', tags.invalid],
  [/^comment\./, 'vell-comment', tags.comment],
  [/^keyword\.operator\./, 'vell-operator', tags.operator],
  [/^keyword\./, 'vell-keyword', tags.keyword],
  [/^support\.function\./, 'vell-builtin', tags.standard(tags.labelName)],
  [/^entity\.name\.function\.reference\./, 'vell-reference', tags.labelName],
  [/^entity\.name\.function\./, 'vell-name', tags.definition(tags.labelName)],
  [/^variable\./, 'vell-variable', tags.variableName],
  [/^constant\.numeric\./, 'vell-number', tags.number],
  [/^constant\.character\./, 'vell-escape', tags.escape],
  [/^storage\./, 'vell-modifier', tags.modifier],
  [/^string\./, 'vell-string', tags.string],
  [/^punctuation\./, 'vell-punctuation', tags.punctuation],
];

export function kindOf(scopes: readonly string[]): string | null {
  for (let i = scopes.length - 1; i >= 0; --i) {
    for (const [pattern, kind] of KINDS) {
      if (pattern.test(scopes[i])) return kind;
    }
  }
  return null;
}

interface LineState {
  stack: StateStack;
  tokens: { end: number; kind: string | null }[];
  next: number;
}

function tokenize(grammar: IGrammar, line: string, state: LineState): void {
  const result = grammar.tokenizeLine(line, state.stack, 1000);
  state.stack = result.ruleStack;
  state.tokens = result.tokens.map((t) => ({ end: t.endIndex, kind: kindOf(t.scopes) }));
  state.next = 0;
}

function vellLanguage(grammar: IGrammar): StreamLanguage<LineState> {
  return StreamLanguage.define<LineState>({
    name: 'vell',
    startState: () => ({ stack: INITIAL, tokens: [], next: 0 }),
    copyState: (state) => ({ ...state }),
    token(stream, state) {
      if (stream.sol()) tokenize(grammar, stream.string, state);
      const token = state.tokens[state.next++];
      if (token === undefined || token.end <= stream.pos) {
        stream.skipToEnd();
        return null;
      }
      stream.pos = Math.min(token.end, stream.string.length);
      return token.kind;
    },
    blankLine(state) {
      tokenize(grammar, '', state);
    },
    tokenTable: Object.fromEntries(KINDS.map(([, kind, tag]) => [kind, tag])),
  });
}

const style = HighlightStyle.define([
  { tag: tags.comment, color: '#6a737d', fontStyle: 'italic' },
  { tag: tags.keyword, color: '#8250df', fontWeight: 'bold' },
  { tag: tags.operator, color: '#cf222e' },
  { tag: tags.definition(tags.labelName), color: '#0550ae', fontWeight: 'bold' },
  { tag: tags.labelName, color: '#0550ae' },
  { tag: tags.standard(tags.labelName), color: '#953800' },
  { tag: tags.variableName, color: '#116329' },
  { tag: tags.number, color: '#0a3069' },
  { tag: tags.escape, color: '#cf222e' },
  { tag: tags.modifier, color: '#8250df' },
  { tag: tags.string, color: '#0a3069' },
  { tag: tags.punctuation, color: '#57606a' },
  { tag: tags.invalid, color: '#cf222e', textDecoration: 'underline wavy' },
]);

/** The Vell language for CodeMirror, once the grammar's regular expression engine is loaded. */
export async function vellHighlighting(): Promise<Extension> {
  await loadWASM(onigWasm);
  const registry = new Registry({
    onigLib: Promise.resolve({ createOnigScanner, createOnigString }),
    loadGrammar: async (scope) => (scope === 'source.vell' ? (grammarJson as unknown as IRawGrammar) : null),
  });
  const grammar = await registry.loadGrammar('source.vell');
  if (grammar === null) throw new Error('the Vell grammar did not load');
  return [vellLanguage(grammar), syntaxHighlighting(style)];
}
