// The unitlint extension: starts `unitlint --lsp` for unit tables and part lists, and runs the
// program for the commands. Everything the editor shows comes from the server.
'use strict';

const vscode = require('vscode');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFile } = require('child_process');
const { LanguageClient } = require('vscode-languageclient/node');

const exeName = process.platform === 'win32' ? 'unitlint.exe' : 'unitlint';
let client = null;
let output = null;

function isFile(file) {
  try {
    return fs.statSync(file).isFile();
  } catch {
    return false;
  }
}

// The program to run and where it came from: the one this package carries, else the setting's,
// else the first on PATH. null when there is none.
function findProgram(context) {
  const bundled = path.join(context.extensionPath, 'bin', exeName);
  if (isFile(bundled)) return { file: bundled, from: 'carried by the extension' };
  const setting = vscode.workspace.getConfiguration('unitlint').get('path', '').trim();
  if (setting) return isFile(setting) ? { file: setting, from: 'setting unitlint.path' } : null;
  for (const folder of (process.env.PATH || '').split(path.delimiter)) {
    if (folder && isFile(path.join(folder, exeName))) {
      return { file: path.join(folder, exeName), from: 'PATH' };
    }
  }
  return null;
}

function noProgramMessage() {
  const setting = vscode.workspace.getConfiguration('unitlint').get('path', '').trim();
  return (
    `unitlint cannot start: this extension carries no ${exeName} for ${process.platform}-${process.arch}, ` +
    (setting ? `the setting unitlint.path names no file (${setting}), ` : 'the setting unitlint.path is empty, ') +
    'and there is none on PATH. Install the package for your platform, or set unitlint.path.'
  );
}

async function startClient(context) {
  const program = findProgram(context);
  if (!program) {
    output.appendLine(noProgramMessage());
    vscode.window.showErrorMessage(noProgramMessage());
    return;
  }
  output.appendLine(`starting ${program.file} --lsp (${program.from})`);
  const settings = vscode.workspace.getConfiguration('unitlint');
  const server = { command: program.file, args: ['--lsp'] };
  client = new LanguageClient(
    'unitlint',
    'unitlint',
    { run: server, debug: server },
    {
      documentSelector: [
        { scheme: 'file', language: 'unit-table' },
        { scheme: 'file', language: 'part-list' },
      ],
      initializationOptions: {
        maxDiagnostics: settings.get('maxDiagnostics', 1000),
        inlayHints: settings.get('inlayHints', 'all'),
      },
      outputChannel: output,
    },
  );
  try {
    await client.start();
  } catch (error) {
    const message = `unitlint could not start ${program.file}: ${error && error.message ? error.message : error}`;
    output.appendLine(message);
    vscode.window.showErrorMessage(message);
    client = null;
  }
}

async function stopClient() {
  if (!client) return;
  const stopping = client;
  client = null;
  try {
    await stopping.stop();
  } catch (error) {
    output.appendLine(`stopping the server: ${error && error.message ? error.message : error}`);
  }
}

// The data directory of the active table or part list, else of the first workspace folder that
// holds a units/units.csv.
function dataDirectory() {
  const editor = vscode.window.activeTextEditor;
  if (editor && editor.document.uri.scheme === 'file') {
    const file = editor.document.uri.fsPath;
    if (path.basename(file) === 'master_part_list.csv') return path.dirname(file);
    if (path.basename(file) === 'units.csv' && path.basename(path.dirname(file)) === 'units') {
      return path.dirname(path.dirname(file));
    }
  }
  for (const folder of vscode.workspace.workspaceFolders || []) {
    if (isFile(path.join(folder.uri.fsPath, 'units', 'units.csv'))) return folder.uri.fsPath;
  }
  return null;
}

// Runs unitlint with args; resolves with its status and output (a status of 1 is findings).
function runProgram(file, args) {
  return new Promise((resolve) => {
    execFile(file, args, { maxBuffer: 256 << 20 }, (error, stdout, stderr) => {
      const status = error && typeof error.code === 'number' ? error.code : error ? -1 : 0;
      resolve({ status, stdout, stderr, error });
    });
  });
}

async function withProgramAndDirectory(context, work) {
  const program = findProgram(context);
  if (!program) {
    vscode.window.showErrorMessage(noProgramMessage());
    return;
  }
  const directory = dataDirectory();
  if (!directory) {
    vscode.window.showErrorMessage(
      'unitlint: open a units/units.csv or master_part_list.csv, or a folder holding units/units.csv, first.',
    );
    return;
  }
  await work(program.file, directory);
}

async function checkDataDirectory(context) {
  await withProgramAndDirectory(context, async (file, directory) => {
    const run = await runProgram(file, [directory]);
    output.appendLine(`$ unitlint ${directory}`);
    output.append(run.stdout);
    output.append(run.stderr);
    output.show(true);
    if (run.status === 0) vscode.window.showInformationMessage(`unitlint: ${directory} has no findings.`);
    else if (run.status === 1) vscode.window.showWarningMessage(`unitlint: ${directory} has findings: see the output.`);
    else vscode.window.showErrorMessage(`unitlint could not check ${directory}: ${run.stderr.trim() || run.status}`);
  });
}

async function openReport(context) {
  await withProgramAndDirectory(context, async (file, directory) => {
    const run = await runProgram(file, ['--format', 'html', directory]);
    if (run.status !== 0 && run.status !== 1) {
      vscode.window.showErrorMessage(`unitlint could not check ${directory}: ${run.stderr.trim() || run.status}`);
      return;
    }
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'unitlint-'));
    const page = path.join(folder, 'report.html');
    fs.writeFileSync(page, run.stdout);
    output.appendLine(`report of ${directory}: ${page}`);
    await vscode.env.openExternal(vscode.Uri.file(page));
  });
}

async function activate(context) {
  output = vscode.window.createOutputChannel('unitlint');
  context.subscriptions.push(
    output,
    vscode.commands.registerCommand('unitlint.checkDataDirectory', () => checkDataDirectory(context)),
    vscode.commands.registerCommand('unitlint.openReport', () => openReport(context)),
    vscode.commands.registerCommand('unitlint.restartServer', async () => {
      await stopClient();
      await startClient(context);
    }),
    vscode.workspace.onDidChangeConfiguration(async (change) => {
      if (!change.affectsConfiguration('unitlint')) return;
      await stopClient();
      await startClient(context);
    }),
  );
  await startClient(context);
}

function deactivate() {
  return stopClient();
}

module.exports = { activate, deactivate };
