// The problem matcher of the README's VS Code task, applied as VS Code applies it (a JavaScript
// RegExp per line) to unitlint's text report: every finding of the JSON report of the same run
// must come out of exactly one line, with its file, line, column, severity and rule, and no
// other line may match.
// node readme_problem_matcher.js README TEXT_REPORT JSON_REPORT
"use strict";
const fs = require("fs");
const [readmePath, textPath, jsonPath] = process.argv.slice(2);

const readme = fs.readFileSync(readmePath, "utf8");
const tasks = readme.match(/```json\n([\s\S]*?)```/);
if (!tasks) throw new Error("no json block in " + readmePath);
const pattern = JSON.parse(tasks[1]).tasks[0].problemMatcher.pattern;
const regexp = new RegExp(pattern.regexp);

const matched = [];
for (const line of fs.readFileSync(textPath, "utf8").split("\n")) {
  const m = regexp.exec(line);
  if (!m) continue;
  matched.push([m[pattern.file], +m[pattern.line], +m[pattern.column], m[pattern.severity],
                m[pattern.code], m[pattern.message]].join(" | "));
}
// VS Code counts columns in characters, as the task asks unitlint to.
const findings = JSON.parse(fs.readFileSync(jsonPath, "utf8")).findings.map((f) =>
  [f.path, f.line, f.char_column, f.severity, f.rule, f.message].join(" | "));

let failed = false;
const missing = findings.filter((f) => !matched.includes(f));
const extra = matched.filter((m) => !findings.includes(m));
for (const f of missing) { console.log("not matched: " + f); failed = true; }
for (const m of extra) { console.log("matched, but no such finding: " + m); failed = true; }
console.log(`${matched.length} lines matched, ${findings.length} findings`);
process.exit(failed ? 1 : 0);
