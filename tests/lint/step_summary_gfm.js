// Reads the step summary that step_summary_gfm.sh made, rendered by markdown-it (here, with
// linkify) and by cmark-gfm (given as HTML): node step_summary_gfm.js SUMMARY_MD CMARK_HTML
"use strict";
const fs = require("fs");
const markdownIt = require("markdown-it");

const [summaryPath, cmarkPath] = process.argv.slice(2);
const markdown = fs.readFileSync(summaryPath, "utf8");
const rendered = {
  "markdown-it": markdownIt({ html: true, linkify: true }).render(markdown),
  "cmark-gfm": fs.readFileSync(cmarkPath, "utf8"),
};

// Texts from the data that GitHub would make a mention, a reference or a link of.
const hostile = ["@octocat", "#12", "www.example.org", "https://evil.example/x", "www.evil.example",
  "#34", "GH-56", "a@example.com", "``x``", "octo/repo#7", "@team", "@acme/ops#9", "@nobody",
  "#1", "http://x.example"];
// What a mention, an issue reference or an autolink starts with, in text outside code.
const linkLike = /@\w|#\d|\bGH-\d|www\.|:\/\//;

const decode = (html) => html.replace(/<[^>]*>/g, "").replace(/&lt;/g, "<").replace(/&gt;/g, ">")
  .replace(/&quot;/g, '"').replace(/&#39;/g, "'").replace(/&amp;/g, "&");

let faults = 0;
const fault = (renderer, what) => { console.log(`${renderer}: ${what}`); ++faults; };
for (const [renderer, html] of Object.entries(rendered)) {
  if (/<a[\s>]/.test(html)) fault(renderer, `a link: ${html.match(/<a[\s>][^\n]*/)[0]}`);
  const code = [...html.matchAll(/<code>([\s\S]*?)<\/code>/g)].map((m) => decode(m[1]));
  const prose = decode(html.replace(/<code>[\s\S]*?<\/code>/g, " "));
  const loose = prose.match(linkLike);
  if (loose) fault(renderer, `"${loose[0]}" outside code: ...${prose.slice(loose.index - 40, loose.index + 40)}...`);
  for (const text of hostile)
    if (!code.some((c) => c.includes(text))) fault(renderer, `"${text}" is not kept whole in code`);
  // Each summary is a heading of its own, the earlier step's text a paragraph before them.
  const headings = html.match(/<h3>unitlint<\/h3>/g) || [];
  if (headings.length !== 2) fault(renderer, `${headings.length} headings, expected 2`);
  if (!/<p>An earlier step wrote this, with no line end<\/p>/.test(html))
    fault(renderer, "the earlier step's text ran into the summary");
  // The sample's seven faults are listed, with their places.
  const items = code.filter((c) => /\/units\/units\.csv:\d+:\d+$/.test(c));
  if (items.length !== 7) fault(renderer, `${items.length} findings listed, expected 7`);
  if (!/<td>not-boolean<\/td>/.test(html)) fault(renderer, "no table of rules");
}
if (faults > 0) {
  console.log(`--- the summary:\n${markdown}`);
  process.exit(1);
}
console.log("both renderers: no link, mention or reference from the data; every text kept");
