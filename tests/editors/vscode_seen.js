// Drives VS Code (code-server, in Debian's Chromium through playwright-core) with the unitlint
// extension installed from its .vsix, as a user would, on a copy of the sample data:
//   node vscode_seen.js URL DATA_DIR SHOTS_DIR
// URL is code-server's, opened on DATA_DIR. Each step prints what it saw; a step that does not
// see what it should throws, and the run ends with status 1. Screenshots go into SHOTS_DIR.
'use strict';
const { chromium } = require('playwright-core');
const path = require('path');

const [url, data, shots] = process.argv.slice(2);
const modifier = 'Control';
const seen = [];

function step(text) {
  seen.push(text);
  console.log(`ok: ${text}`);
}

async function command(page, name) {
  await page.keyboard.press('F1');
  const input = page.locator('.quick-input-widget input.input');
  await input.waitFor({ state: 'visible' });
  await input.fill(`>${name}`);
  await page.waitForTimeout(400);
  await page.keyboard.press('Enter');
}

// Puts the cursor at a 1-based line and character, with Go to Line.
async function goTo(page, line, character) {
  await page.keyboard.press(`${modifier}+g`);
  const input = page.locator('.quick-input-widget input.input');
  await input.waitFor({ state: 'visible' });
  await input.fill(`:${line}:${character}`);
  await page.waitForTimeout(200);
  await page.keyboard.press('Enter');
  await page.waitForTimeout(300);
}

async function problemRows(page) {
  return page.$$eval('.markers-panel .monaco-list-row', (rows) =>
    rows.map((row) => `${row.getAttribute('aria-label') || ''} | ${row.textContent}`));
}

async function waitFor(what, test, seconds = 60) {
  const until = Date.now() + seconds * 1000;
  let last;
  while (Date.now() < until) {
    last = await test();
    if (last) return last;
    await new Promise((resolve) => setTimeout(resolve, 500));
  }
  throw new Error(`not seen within ${seconds} s: ${what}`);
}

async function main() {
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: [
      '--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1',
      '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run',
    ],
  });
  const page = await browser.newPage({ viewport: { width: 1600, height: 1000 } });
  try {
    await page.goto(`${url}/?folder=${encodeURIComponent(data)}`);
    await page.locator('.monaco-workbench').waitFor({ timeout: 120000 });
    // A workspace opened for the first time asks whether its authors are trusted.
    const trust = page.getByRole('button', { name: /Yes, I trust the authors/ });
    if (await trust.isVisible({ timeout: 5000 }).catch(() => false)) await trust.click();

    // The table opened from the Explorer, as a user would.
    await page.locator('.explorer-folders-view .monaco-list-row', { hasText: /^units$/ }).first().click();
    await page.locator('.explorer-folders-view .monaco-list-row', { hasText: /^units\.csv$/ }).first().click();
    await page.locator('.monaco-editor .view-lines').first().waitFor();
    const language = await waitFor('the Unit table language in the status bar', async () => {
      const text = await page.locator('#status\\.editor\\.mode').textContent().catch(() => '');
      return text && text.includes('Unit table') ? text.trim() : null;
    });
    step(`units.csv opened as ${language}`);

    // The Problems panel: the seven findings, with line, column and rule.
    await command(page, 'View: Focus Problems');
    const rows = await waitFor('seven problems of unitlint', async () => {
      const got = (await problemRows(page)).filter((row) => /unitlint/.test(row));
      return got.length >= 7 ? got : null;
    });
    for (const row of rows) console.log(`  problem: ${row}`);
    const wanted = [
      ['not-boolean', 4, 319], ['mesh-missing', 5, 151], ['float-syntax', 6, 282],
      ['text-too-long', 7, 11], ['nested-too-many-values', 11, 733], ['unknown-category', 11, 738],
      ['unknown-cargo', 12, 692],
    ];
    for (const [rule, line, column] of wanted) {
      const row = rows.find((r) => r.includes(rule) && new RegExp(`line ${line}\\D.*(character|column) ${column}\\D|\\[Ln ${line}, Col ${column}\\]`).test(r + ' '));
      if (!row) throw new Error(`no problem ${rule} at line ${line}, column ${column}`);
    }
    step(`Problems panel lists the ${wanted.length} findings with their lines, columns and rules`);
    await page.screenshot({ path: path.join(shots, 'vscode-problems.png') });

    // The column names before the cells: on Hornet's line, "Key:" before hornet and
    // "Directory:" before its folder.
    const hint = await waitFor('inlay hints naming the columns', async () => {
      const text = await page.locator('.monaco-editor .view-line', { hasText: 'Hornet Militia' })
        .first().textContent().catch(() => '');
      const shown = text.replace(/\u00a0/g, ' ');
      return /Key:\s*hornet\.militia,\s*Directory:\s*hornet,/.test(shown) ? shown.slice(0, 60) : null;
    });
    step(`an inlay hint shows (${hint})`);
    await page.screenshot({ path: path.join(shots, 'vscode-inlay-hints.png') });

    // Hover on Hornet Militia's boolean names its column.
    const editor = page.locator('.monaco-editor .view-lines').first();
    await editor.click();
    await goTo(page, 4, 321);
    await page.keyboard.press(`${modifier}+k`);
    await page.keyboard.press(`${modifier}+i`);
    const hover = await waitFor('a hover naming column 46, Jump_Drive_Present', async () => {
      const text = await page.locator('.monaco-hover-content').allTextContents().catch(() => []);
      const joined = text.join(' ');
      return /Column 46: Jump_Drive_Present/.test(joined) ? joined : null;
    });
    const column = hover.slice(hover.indexOf('Column 46'));
    step(`hover names the column: ${column.replace(/\s+/g, ' ').slice(0, 80)}`);
    await page.screenshot({ path: path.join(shots, 'vscode-hover.png') });
    await page.keyboard.press('Escape');

    // The quick fix for "flase", through the light bulb.
    await goTo(page, 4, 321);
    // The light bulb stands in the gutter beside the line (VS Code 1.99) or over the text.
    const bulb = page.locator('[class*="lightbulb"]:visible, [class*="light-bulb"]:visible').first();
    await bulb.waitFor({ state: 'visible', timeout: 30000 });
    await bulb.click();
    const fix = page.locator('.action-widget .monaco-list-row', { hasText: 'Replace with "false"' }).first();
    await fix.waitFor({ timeout: 15000 });
    await page.screenshot({ path: path.join(shots, 'vscode-quick-fix.png') });
    // The menu takes the keyboard, and a layer over the page takes the pointer: the fix is
    // chosen with the arrows and Enter, as the menu itself suggests ("Enter to Apply").
    for (let tries = 0; tries < 5 && !/focused/.test(await fix.getAttribute('class')); ++tries) {
      await page.keyboard.press('ArrowDown');
    }
    await page.keyboard.press('Enter');
    await waitFor('the not-boolean problem gone', async () => {
      const got = (await problemRows(page)).filter((row) => /unitlint/.test(row));
      return got.length === 6 && !got.some((r) => r.includes('not-boolean')) ? got : null;
    });
    step('the quick fix for "flase" applied through the light bulb; its problem is gone');

    // Go to definition on Mule's cargo part iron_ingots (line 7, character 776, both counted from 1).
    await goTo(page, 7, 776);
    await page.keyboard.press('F12');
    const target = await waitFor('master_part_list.csv opened at iron_ingots', async () => {
      const tab = await page.locator('.tab.active').first().textContent().catch(() => '');
      const where = await page.locator('#status\\.editor\\.selection').textContent().catch(() => '');
      return tab.includes('master_part_list.csv') && /Ln 21,/.test(where) ? `${tab.trim()} ${where.trim()}` : null;
    });
    step(`go to definition on the cargo part iron_ingots opened ${target}`);
    await page.screenshot({ path: path.join(shots, 'vscode-definition.png') });
  } catch (error) {
    await page.screenshot({ path: path.join(shots, 'vscode-failure.png') }).catch(() => {});
    throw error;
  } finally {
    await browser.close();
  }
  console.log(`seen in VS Code: ${seen.length} steps`);
}

main().catch((error) => {
  console.error(`FAILED after ${seen.length} steps: ${error.message}`);
  process.exit(1);
});
