// Leading from a view to a line of its scenario: the editor that shows it, else a new one.
import * as vscode from 'vscode';

// Selects line `line` (counted from 0, kept within the text) of `scenario` and scrolls to it.
export async function revealLine(scenario: vscode.Uri, line: number): Promise<void> {
  const shown = scenario.toString();
  const visible = vscode.window.visibleTextEditors.find((e) => e.document.uri.toString() === shown);
  const document = visible?.document ?? (await vscode.workspace.openTextDocument(scenario));
  const editor = await vscode.window.showTextDocument(document, {
    viewColumn: visible?.viewColumn ?? vscode.ViewColumn.One,
  });
  const at = document.lineAt(Math.min(line, document.lineCount - 1)).range;
  editor.selection = new vscode.Selection(at.start, at.end);
  editor.revealRange(at, vscode.TextEditorRevealType.InCenterIfOutsideViewport);
}
