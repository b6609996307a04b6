// Measures unitlint's HTML pages in Chromium (puppeteer-core):
// node page_layout.js CHROMIUM WORK_DIR SCREENSHOT_DIR|"" PAGE.html...
// Every section open, at 1280 px and at 390 px wide, and as printed on A4 (190 mm between
// the margins, 718 px): the document is no wider than the viewport and no element reaches
// past its right edge. At 390 px, each finding and each rule is a block of its own. Prints the
// figures measured.
"use strict";
const path = require("path");
const puppeteer = require("puppeteer-core");

const [chromium, work, shots, ...pages] = process.argv.slice(2);
const layouts = [
  { name: "1280 px", width: 1280, height: 900, media: "screen" },
  { name: "390 px", width: 390, height: 844, media: "screen" },
  { name: "print", width: 718, height: 1000, media: "print" },
];

// In the page: opens every section, then the document's width and the elements that reach
// past the viewport's right edge (the widest first).
function measure() {
  for (const details of document.querySelectorAll("details")) details.open = true;
  const width = document.documentElement.clientWidth;
  const over = [];
  for (const element of document.body.querySelectorAll("*")) {
    const right = element.getBoundingClientRect().right;
    if (right > width + 0.5) over.push([right, element.tagName.toLowerCase() + "." + element.className]);
  }
  over.sort((a, b) => b[0] - a[0]);
  const finding = document.querySelector("table.findings tbody tr");
  const rule = document.querySelector("table.rules tbody tr");
  return {
    width,
    scrollWidth: document.documentElement.scrollWidth,
    over: over.slice(0, 3),
    overCount: over.length,
    findingDisplay: finding ? getComputedStyle(finding).display : "",
    ruleDisplay: rule ? getComputedStyle(rule).display : "",
    findingTop: finding ? Math.round(finding.getBoundingClientRect().top + scrollY) : -1,
    rulesWidth: Math.round(document.querySelector("table.rules").getBoundingClientRect().width),
  };
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: path.join(work, "profile"),
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
      "--disable-component-update", "--disable-sync", "--no-first-run",
      "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1"],
  });
  let faults = 0;
  try {
    const tab = await browser.newPage();
    for (const page of pages) {
      for (const layout of layouts) {
        await tab.setViewport({ width: layout.width, height: layout.height });
        await tab.emulateMediaType(layout.media);
        await tab.goto("file://" + path.join(work, page), { waitUntil: "load" });
        const m = await tab.evaluate(measure);
        const fits = m.scrollWidth <= m.width && m.overCount === 0;
        console.log(`${page} at ${layout.name}: document ${m.scrollWidth} px in ${m.width} px, ` +
          `rules table ${m.rulesWidth} px, first finding at ${m.findingTop} px, ` +
          `finding rows ${m.findingDisplay}` + (fits ? "" : `; FAULT: ${m.overCount} elements ` +
          `past the edge, the widest ${JSON.stringify(m.over)}`));
        if (!fits) ++faults;
        if (layout.width === 390 && (m.findingDisplay !== "grid" || m.ruleDisplay !== "grid")) {
          console.log(`${page} at 390 px: FAULT: findings and rules are not blocks`);
          ++faults;
        }
        if (shots && page === pages[0] && layout.media === "screen") {
          await tab.goto("file://" + path.join(work, page), { waitUntil: "load" });
          const file = path.join(shots, `unitlint-html-report-${layout.width}.png`);
          await tab.screenshot({ path: file, fullPage: true });
          console.log(`wrote ${file}`);
        }
      }
    }
  } finally {
    await browser.close();
  }
  process.exit(faults > 0 ? 1 : 0);
})().catch((error) => {
  console.log(String(error && error.stack || error));
  process.exit(1);
});
