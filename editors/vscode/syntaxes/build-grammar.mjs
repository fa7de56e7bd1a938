// Writes vell.tmLanguage.json, the TextMate grammar of Vell scenario files, beside this file.
//   node syntaxes/build-grammar.mjs          write the grammar
//   node syntaxes/build-grammar.mjs --check  exit 1 when the written grammar is out of date
//
// A scenario is read line by line. A physical line whose first byte is ';' is a comment and
// disappears; a line ending in '\' goes on on the next physical line, and the two make one
// logical line. The first byte of a logical line decides its kind, so every logical line is a
// begin/end rule here: a keyword or '{' at the start of a continued physical line is plain text.
// A select block's body lines are choices, not text: the block is one rule from its statement
// line up to the next statement line.
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

// ---------------------------------------------------------------------------------------------
// Pieces of regular expressions (Oniguruma).

// Statement keywords are prefixes of the line: "endless" is "end", "settle" is "set".
// "system_mes" comes before "system", which is a prefix of it.
const SCENE_KEYWORDS = 'system|action|test|set|scene|lumen';
const KEYWORD = '(?:system_mes|select|bunki|koru|system|title|action|test|set|scene|lumen|end)';
const NEXT_STATEMENT = `^(?=${KEYWORD})`;
// Blanks skipped before a block name and a choice's destination: space, tab, full-width space.
const BLANK = '[ \\t\\x{3000}]';
// A logical line ends at a physical line end that no backslash continues.
const LINE_END = '(?<!\\\\)(?=\\n)';
// Built-in scenes that a jump or a choice may name.
const BUILTIN_TARGET = '(?:Novel_generation|No|paragraph|dummy|小説ランダム生成|章番号|段落|ダミー)';
// Block names that supply a built-in scene's body, or the start of every story.
const BUILTIN_BLOCK =
  '(?:start_message|last_message|No|paragraph|dummy|Vell_novels|' +
  '開始メッセージ|終了メッセージ|章番号|段落|ダミー|Vell言語小説生成)';

// A condition <left op right>. The left side runs up to the first ! = < >; '=' and '!' always
// take the next character as the operator's second ('<%x=1>' is '=1' and an empty right side);
// the right side runs up to the first '>'. A side is %name (a number), $name (how often a text
// was printed) or a literal: on the left the name of a text variable, on the right a number or
// a text.
const SIDE_NAME = { left: '[^!=<>\\n]*', right: '[^>\\n]*' };
const OPERATORS = {
  balanced: '(?:(==|!=)|([=!].?))',
  less: '(?:(<=|<)())',
  greater: '(?:(>=|>)())',
};
// In a text line the character right after a condition's '>' is plain text, even a / ; { } <
// or a final '-'.
const AFTER_CONDITION = '(?:([/;{}<])|(-)(?=\\n))?';

function side(which) {
  const name = SIDE_NAME[which];
  const literal =
    which === 'left'
      ? `(${name})`
      : `([-+]?[0-9.]+(?:[eE][-+]?[0-9]+)?)(?=>)|(${name})`;
  return `(?:(%)(${name})|(\\$)(${name})|${literal})`;
}

function sideCaptures(which) {
  return [
    'punctuation.definition.variable.vell',
    'variable.other.number.vell',
    'punctuation.definition.variable.vell',
    'variable.other.uses.vell',
    ...(which === 'left'
      ? ['variable.other.text.vell']
      : ['constant.numeric.vell', 'string.unquoted.vell']),
  ];
}

function conditionRegex(operators, { inText }) {
  return `(<)${side('left')}${OPERATORS[operators]}${side('right')}(>)${inText ? AFTER_CONDITION : ''}`;
}

function conditionCaptures({ inText }) {
  const scopes = [
    'punctuation.definition.condition.begin.vell',
    ...sideCaptures('left'),
    'keyword.operator.comparison.vell',
    'invalid.illegal.operator.vell',
    ...sideCaptures('right'),
    'punctuation.definition.condition.end.vell',
    ...(inText ? ['meta.text.after-condition.vell', 'meta.text.after-condition.vell'] : []),
  ];
  return Object.fromEntries(scopes.map((name, i) => [i + 1, { name }]));
}

function condition(operators, { inText }) {
  return {
    name: 'meta.condition.vell',
    match: conditionRegex(operators, { inText }),
    captures: conditionCaptures({ inText }),
  };
}

// ---------------------------------------------------------------------------------------------
// Rules shared by every kind of line.

const repository = {
  'comment-line': {
    // Matched with its line end, so that a comment line inside a continued line does not end it.
    match: '^(;).*\\n?',
    name: 'comment.line.semicolon.vell',
    captures: { 1: { name: 'punctuation.definition.comment.vell' } },
  },
  continuation: {
    match: '\\\\(?=\\n)',
    name: 'constant.character.escape.line-continuation.vell',
  },
  'physical-line': { patterns: [{ include: '#comment-line' }, { include: '#continuation' }] },
  'trailing-blank': {
    match: `${BLANK}+(?=\\n)`,
    name: 'invalid.deprecated.trailing-blank.vell',
  },
  'ignored-line': {
    begin: '(?:^|\\G)(?=[^\\n])',
    end: LINE_END,
    name: 'comment.block.ignored.vell',
    patterns: [{ include: '#physical-line' }],
  },
};

// ---------------------------------------------------------------------------------------------
// Statement lines and blocks.

function blockName(kind) {
  return {
    begin: '\\G(?=[^\\n])',
    end: LINE_END,
    contentName: `entity.name.function.${kind}.vell`,
    patterns: [
      { include: '#physical-line' },
      { match: `\\G${BUILTIN_BLOCK}(?=\\n)`, name: 'support.function.builtin.vell' },
      { include: '#trailing-blank' },
    ],
  };
}

function statement(keywords, kind, keywordScope) {
  return {
    begin: `^(${keywords})(${BLANK}*)`,
    beginCaptures: { 1: { name: keywordScope } },
    end: LINE_END,
    name: `meta.statement.${kind}.vell`,
    patterns: [blockName(kind)],
  };
}

Object.assign(repository, {
  statement: {
    patterns: [
      { include: '#select-block' },
      { include: '#end-block' },
      statement('system_mes|koru', 'message', 'keyword.other.message.vell'),
      statement('title', 'title', 'keyword.other.title.vell'),
      statement(SCENE_KEYWORDS, 'scene', 'keyword.other.scene.vell'),
    ],
  },
  // "end" closes the block before it; the rest of its line and the lines after it, up to the
  // next statement, belong to no block.
  'end-block': {
    begin: '^(end)',
    beginCaptures: { 1: { name: 'keyword.control.end.vell' } },
    end: NEXT_STATEMENT,
    name: 'meta.block.ignored.vell',
    patterns: [{ include: '#comment-line' }, { include: '#ignored-line' }],
  },
  // So do the lines before the first statement.
  preamble: {
    begin: `\\A(?!${KEYWORD})`,
    end: NEXT_STATEMENT,
    name: 'meta.block.ignored.vell',
    patterns: [{ include: '#comment-line' }, { include: '#ignored-line' }],
  },
  'select-block': {
    begin: `^(bunki|select)(${BLANK}*)`,
    beginCaptures: { 1: { name: 'keyword.control.select.vell' } },
    end: NEXT_STATEMENT,
    name: 'meta.block.select.vell',
    patterns: [
      blockName('select'),
      { include: '#comment-line' },
      { include: '#choice' },
    ],
  },
  // choice -> '<' condition '>' blanks destination | destination
  // The destination is the rest of the line, blanks and all; nothing in it is special.
  choice: {
    patterns: [
      {
        begin: `^${conditionRegex('balanced', { inText: false })}(${BLANK}*)`,
        beginCaptures: conditionCaptures({ inText: false }),
        end: LINE_END,
        name: 'meta.choice.vell',
        patterns: [{ include: '#destination' }],
      },
      {
        begin: `^${conditionRegex('less', { inText: false })}(${BLANK}*)`,
        beginCaptures: conditionCaptures({ inText: false }),
        end: LINE_END,
        name: 'meta.choice.vell',
        patterns: [{ include: '#destination' }],
      },
      {
        begin: `^${conditionRegex('greater', { inText: false })}(${BLANK}*)`,
        beginCaptures: conditionCaptures({ inText: false }),
        end: LINE_END,
        name: 'meta.choice.vell',
        patterns: [{ include: '#destination' }],
      },
      // A condition without its closing '>' leaves no destination.
      { match: '^<.*', name: 'meta.choice.vell invalid.illegal.condition.vell' },
      {
        begin: `^(${BLANK}*)(?=[^\\n])`,
        beginCaptures: { 1: { name: 'invalid.deprecated.leading-blank.vell' } },
        end: LINE_END,
        name: 'meta.choice.vell',
        patterns: [{ include: '#destination' }],
      },
    ],
  },
  destination: {
    begin: '\\G(?=[^\\n])',
    end: LINE_END,
    contentName: 'entity.name.function.reference.vell',
    patterns: [
      { include: '#physical-line' },
      { match: `\\G${BUILTIN_TARGET}(?=\\n)`, name: 'support.function.builtin.vell' },
      { include: '#trailing-blank' },
    ],
  },
});

// ---------------------------------------------------------------------------------------------
// Jump directive lines: {Scene}, {<%n>3>A;B}, {!A}, {#A}, {&A}, {&+A}, {&-A}, {*A}.
// directive -> '{' [';'] alternative { (';' | ) alternative } '}'
// alternative -> ['<' condition '>'] [prefix] target

Object.assign(repository, {
  directive: {
    begin: '^(?=\\{)',
    end: LINE_END,
    name: 'meta.directive.vell',
    patterns: [
      {
        begin: '\\G(\\{)',
        beginCaptures: { 1: { name: 'punctuation.definition.directive.begin.vell' } },
        end: `(\\})|${LINE_END}`,
        endCaptures: { 1: { name: 'punctuation.definition.directive.end.vell' } },
        patterns: [
          { include: '#physical-line' },
          { match: ';', name: 'punctuation.separator.alternative.vell' },
          condition('balanced', { inText: false }),
          condition('less', { inText: false }),
          condition('greater', { inText: false }),
          { match: '<[^\\n]*', name: 'invalid.illegal.condition.vell' },
          { include: '#target' },
        ],
      },
      // Nothing after the closing '}' is read.
      { include: '#physical-line' },
      { match: '[^\\n]+?(?=\\\\?\\n)', name: 'comment.line.ignored.vell' },
    ],
  },
  // Blanks belong to the target: '{ A}' names " A".
  target: {
    match:
      '(?=[^}<;\\n])(?:(!)|(#)|(&\\+)|(&-)|(&)|(\\*))?' +
      `(${BLANK}+)?(?:([0-9]{6})([^}<;\\n]*)|(${BUILTIN_TARGET})(?=[}<;]|\\n)|([^}<;\\n]*?))` +
      `(${BLANK}+)?(?=[}<;]|\\\\?\\n)`,
    captures: {
      1: { name: 'keyword.operator.directive.disable.vell' },
      2: { name: 'keyword.operator.directive.enable.vell' },
      3: { name: 'keyword.operator.directive.priority-up.vell' },
      4: { name: 'keyword.operator.directive.priority-down.vell' },
      5: { name: 'keyword.operator.directive.priority-set.vell' },
      6: { name: 'keyword.operator.directive.priority-clear.vell' },
      7: { name: 'invalid.deprecated.leading-blank.vell' },
      8: { name: 'constant.numeric.scene-number.vell' },
      9: { name: 'comment.line.ignored.vell' },
      10: { name: 'support.function.builtin.vell' },
      11: { name: 'entity.name.function.reference.vell' },
      12: { name: 'invalid.deprecated.trailing-blank.vell' },
    },
  },
});

// ---------------------------------------------------------------------------------------------
// Literal lines ('-' first: written as it stands, '~' a space) and paragraph marks ('#' first).
// Alternatives and groups are chosen before a line is read, so they act in both.

Object.assign(repository, {
  literal: {
    begin: '^(-)',
    beginCaptures: { 1: { name: 'punctuation.definition.literal.vell' } },
    end: LINE_END,
    name: 'string.unquoted.literal.vell',
    patterns: [
      { include: '#physical-line' },
      { include: '#literal-group' },
      { include: '#line-alternative' },
      { include: '#space' },
    ],
  },
  'literal-group': {
    begin: '\\(',
    beginCaptures: { 0: { name: 'punctuation.section.group.begin.vell' } },
    end: `(\\))|${LINE_END}`,
    endCaptures: { 1: { name: 'punctuation.section.group.end.vell' } },
    name: 'meta.group.vell',
    patterns: [
      { include: '#physical-line' },
      { include: '#literal-group' },
      { include: '#group-alternative' },
      { include: '#space' },
    ],
  },
  paragraph: {
    begin: '^(#)',
    beginCaptures: { 1: { name: 'keyword.other.paragraph.vell' } },
    end: LINE_END,
    name: 'meta.paragraph.vell',
    patterns: [
      { include: '#physical-line' },
      { include: '#line-alternative' },
      { match: '[^|\\n]+?(?=[|]|\\\\?\\n)', name: 'comment.line.ignored.vell' },
    ],
  },
});

// ---------------------------------------------------------------------------------------------
// Text lines.

Object.assign(repository, {
  text: {
    begin: '^(?=[^\\n])',
    end: LINE_END,
    name: 'meta.text.vell',
    patterns: [{ include: '#text-content' }],
  },
  'text-content': {
    patterns: [{ include: '#text-common' }, { include: '#line-alternative' }],
  },
  'text-common': {
    patterns: [
      { include: '#physical-line' },
      { match: '-(?=\\n)', name: 'constant.character.join.vell' },
      { include: '#line-break' },
      { include: '#output-on' },
      { include: '#inline-comment' },
      { include: '#text-condition' },
      { include: '#variable' },
      { include: '#group' },
      { include: '#space' },
      { match: '[)\\]}]', name: 'invalid.illegal.stray-bracket.vell' },
    ],
  },
  'line-break': { match: '/', name: 'constant.character.line-break.vell' },
  'output-on': { match: ';', name: 'keyword.control.output-on.vell' },
  space: { match: '~', name: 'constant.character.space.vell' },
  'line-alternative': { match: '\\|', name: 'keyword.operator.alternative.line.vell' },
  'group-alternative': { match: '\\|', name: 'keyword.operator.alternative.group.vell' },
  // '{' ... '}' inside a line is a comment; a '/', ';', a condition and a final '-' in it still
  // act.
  'inline-comment': {
    begin: '\\{',
    beginCaptures: { 0: { name: 'punctuation.definition.comment.begin.vell' } },
    end: `(\\})|${LINE_END}`,
    endCaptures: { 1: { name: 'punctuation.definition.comment.end.vell' } },
    contentName: 'comment.block.vell',
    patterns: [
      { include: '#physical-line' },
      { include: '#inline-comment' },
      { match: '-(?=\\n)', name: 'constant.character.join.vell' },
      { include: '#line-break' },
      { include: '#output-on' },
      condition('balanced', { inText: true }),
      condition('less', { inText: true }),
      condition('greater', { inText: true }),
      { match: '<[^\\n]*', name: 'invalid.illegal.condition.vell' },
    ],
  },
  group: {
    begin: '\\(',
    beginCaptures: { 0: { name: 'punctuation.section.group.begin.vell' } },
    end: `(\\))|${LINE_END}`,
    endCaptures: { 1: { name: 'punctuation.section.group.end.vell' } },
    name: 'meta.group.vell',
    patterns: [{ include: '#text-common' }, { include: '#group-alternative' }],
  },
});

// A '|' separates the line's alternatives only where every bracket around it is closed, and
// '<' and '>' count as brackets: after <%n>3> (one '<', two '>') the line's '|' are plain text
// until a condition with '<' or '<=' evens the count.
function unevenStretch(opening, closing) {
  return {
    name: 'meta.text.uneven.vell',
    begin: conditionRegex(opening, { inText: true }),
    beginCaptures: { 0: { name: 'meta.condition.vell' }, ...conditionCaptures({ inText: true }) },
    end: `${conditionRegex(closing, { inText: true })}|(?=\\))|${LINE_END}`,
    endCaptures: { 0: { name: 'meta.condition.vell' }, ...conditionCaptures({ inText: true }) },
    patterns: [
      { include: '#text-common' },
      { match: '\\|', name: 'meta.text.uncounted-bar.vell' },
    ],
  };
}

Object.assign(repository, {
  'text-condition': {
    patterns: [
      condition('balanced', { inText: true }),
      unevenStretch('greater', 'less'),
      unevenStretch('less', 'greater'),
      // A '>' of the text itself counts as well.
      { ...unevenStretch('greater', 'less'), begin: '>', beginCaptures: {} },
      // A '<' that opens no complete condition swallows the rest of the line.
      { match: '<[^\\n]*', name: 'invalid.illegal.condition.vell' },
    ],
  },
});

// ---------------------------------------------------------------------------------------------
// Variables: [name] [%n] [%Dn] [name=value] [name=(a|b)] [%n=5] [%n+=2] [%n-=2] [%n++] [%n--].
// A name runs up to the first = + - ]; a value up to the first ].

const NAME = '([^=+\\-\\]\\n]*)';
const NUMBER_NAME = '([^=+\\-\\]\\n]*)';
const TEXT_NAME = '([^%=+\\-\\]\\n][^=+\\-\\]\\n]*|)';
const OPEN = { name: 'punctuation.definition.variable.begin.vell' };
const CLOSE = { name: 'punctuation.definition.variable.end.vell' };
const PERCENT = { name: 'punctuation.definition.variable.vell' };

function assignment(regex, scope, names, contentName) {
  return {
    begin: regex,
    beginCaptures: names,
    end: `(\\])|${LINE_END}`,
    endCaptures: { 1: CLOSE },
    name: scope,
    contentName,
    patterns: [{ include: '#value-content' }],
  };
}

Object.assign(repository, {
  variable: {
    patterns: [
      {
        match: `(\\[)(%)(D)?${NUMBER_NAME}(\\])`,
        name: 'meta.variable.print.vell',
        captures: {
          1: OPEN,
          2: PERCENT,
          3: { name: 'storage.modifier.full-width.vell' },
          4: { name: 'variable.other.number.vell' },
          5: CLOSE,
        },
      },
      {
        match: `(\\[)${TEXT_NAME}(\\])`,
        name: 'meta.variable.print.vell',
        captures: { 1: OPEN, 2: { name: 'variable.other.text.vell' }, 3: CLOSE },
      },
      assignment(
        `(\\[)(%)${NUMBER_NAME}(=)`,
        'meta.variable.assignment.vell',
        {
          1: OPEN,
          2: PERCENT,
          3: { name: 'variable.other.number.vell' },
          4: { name: 'keyword.operator.assignment.vell' },
        },
        'constant.numeric.vell',
      ),
      // [name=(...)]: the text is chosen again at every print.
      assignment(
        `(\\[)${TEXT_NAME}(=)(?=\\()`,
        'meta.variable.assignment.template.vell',
        {
          1: OPEN,
          2: { name: 'variable.other.text.vell' },
          3: { name: 'keyword.operator.assignment.vell' },
        },
        'string.unquoted.template.vell',
      ),
      assignment(
        `(\\[)${TEXT_NAME}(=)`,
        'meta.variable.assignment.vell',
        {
          1: OPEN,
          2: { name: 'variable.other.text.vell' },
          3: { name: 'keyword.operator.assignment.vell' },
        },
        'string.unquoted.value.vell',
      ),
      {
        match: `(\\[)(%)${NUMBER_NAME}(\\+=|-=)([^\\]\\n]*)(\\])?`,
        name: 'meta.variable.change.vell',
        captures: {
          1: OPEN,
          2: PERCENT,
          3: { name: 'variable.other.number.vell' },
          4: { name: 'keyword.operator.assignment.compound.vell' },
          5: { name: 'constant.numeric.vell' },
          6: CLOSE,
        },
      },
      {
        // The character after ++ or -- is passed over, whatever it is.
        match: `(\\[)(%)${NUMBER_NAME}(\\+\\+|--)(?:(\\])|([^\\n]))?`,
        name: 'meta.variable.change.vell',
        captures: {
          1: OPEN,
          2: PERCENT,
          3: { name: 'variable.other.number.vell' },
          4: { name: 'keyword.operator.increment.vell' },
          5: CLOSE,
          6: { name: 'invalid.illegal.variable.vell' },
        },
      },
      // Changing a name without '%' does nothing.
      {
        match: `(\\[)${TEXT_NAME}(\\+=|-=|\\+\\+|--)([^\\]\\n]*)(\\])?`,
        name: 'meta.variable.change.vell invalid.illegal.not-a-number.vell',
      },
      // '+' or '-' not followed by '=' or itself: the bracket does nothing, and what follows is
      // printed.
      {
        match: `\\[${NAME}(?:\\+(?![=+])|-(?![=-]))`,
        name: 'invalid.illegal.variable.vell',
      },
      { match: `\\[${NAME}${LINE_END}`, name: 'invalid.illegal.variable.vell' },
    ],
  },
  'value-content': {
    patterns: [
      { include: '#continuation' },
      { include: '#value-group' },
      { match: '\\|', name: 'keyword.operator.alternative.value.vell' },
    ],
  },
  'value-group': {
    begin: '\\(',
    beginCaptures: { 0: { name: 'punctuation.section.group.begin.vell' } },
    end: `(\\))|(?=\\])|${LINE_END}`,
    endCaptures: { 1: { name: 'punctuation.section.group.end.vell' } },
    name: 'meta.group.vell',
    patterns: [
      { include: '#continuation' },
      { include: '#value-group' },
      { include: '#group-alternative' },
    ],
  },
});

// ---------------------------------------------------------------------------------------------

const grammar = {
  name: 'Vell',
  scopeName: 'source.vell',
  fileTypes: ['vell'],
  patterns: [
    { include: '#preamble' },
    { include: '#comment-line' },
    { include: '#statement' },
    { include: '#directive' },
    { include: '#literal' },
    { include: '#paragraph' },
    { include: '#text' },
  ],
  repository,
};

const here = dirname(fileURLToPath(import.meta.url));
const target = join(here, 'vell.tmLanguage.json');
const text = `${JSON.stringify(grammar, null, 2)}\n`;
if (process.argv.includes('--check')) {
  let current = '';
  try {
    current = readFileSync(target, 'utf8');
  } catch {
    // missing: out of date
  }
  if (current !== text) {
    console.error(`${target} is out of date: run node ${join(here, 'build-grammar.mjs')}`);
    process.exit(1);
  }
} else {
  writeFileSync(target, text);
}
