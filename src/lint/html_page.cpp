#include "lint/html_page.h"

#include <algorithm>
#include <numeric>

#include "lint/csp_hash.h"
#include "lint/html_text.h"
#include "lint/rules.h"
#include "lint/version.h"
#include "tables/convert.h"

namespace unitcheck::lint {

namespace {

// The head up to the Content-Security-Policy's style source.
constexpr std::string_view kHead =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src ";

// Colors by severity, with the word and an icon beside them wherever a severity shows; dark
// when the reader's system is, plain black on white on paper.
constexpr std::string_view kStyle = R"css(
:root{--bg:#fff;--fg:#1f2328;--muted:#59636e;--line:#d1d9e0;--head:#f6f8fa;
--error:#cf222e;--warning:#9a6700;--note:#0969da;--mark:#fff8c5;--markfg:#1f2328}
@media (prefers-color-scheme:dark){:root{--bg:#0d1117;--fg:#e6edf3;--muted:#9198a1;
--line:#3d444d;--head:#151b23;--error:#ff7b72;--warning:#d29922;--note:#58a6ff;
--mark:#5c4a00;--markfg:#fff}}
body{background:var(--bg);color:var(--fg);font:14px/1.45 system-ui,sans-serif;margin:0 auto;
max-width:80rem;padding:1rem 1.5rem;overflow-wrap:anywhere}
h1{font-size:1.5rem;margin:.2rem 0 .6rem}h2{font-size:1.15rem;margin:1.4rem 0 .5rem}
code{font:12.5px ui-monospace,monospace;overflow-wrap:anywhere}
dl.facts{display:grid;grid-template-columns:max-content minmax(0,1fr);gap:.15rem 1rem;margin:0}
dl.facts dt{color:var(--muted)}dl.facts dd{margin:0;min-width:0}
table{border-collapse:collapse;width:100%}
th,td{border-bottom:1px solid var(--line);padding:.3rem .5rem;text-align:left;vertical-align:top;
overflow-wrap:anywhere}
th{background:var(--head);font-weight:600;overflow-wrap:normal}
td.num,th.num{text-align:right;font-variant-numeric:tabular-nums}
@media (min-width:40.01rem){table.rules td:first-child code{white-space:nowrap}}
.sev{font-weight:600;white-space:nowrap}.sev.error{color:var(--error)}
.sev.warning{color:var(--warning)}.sev.note{color:var(--note)}
.bar{display:inline-block;width:8rem;max-width:100%;height:.6rem;background:var(--head);
border:1px solid var(--line);vertical-align:middle}
.bar span{display:block;height:100%;font-size:0}.bar .error{background:var(--error)}
.bar .warning{background:var(--warning)}.bar .note{background:var(--note)}
.share{display:block;color:var(--muted);font-size:.9em}
details{border:1px solid var(--line);border-radius:6px;margin:.6rem 0}
summary{cursor:pointer;padding:.45rem .7rem;background:var(--head);border-radius:6px}
details[open] summary{border-bottom:1px solid var(--line);border-radius:6px 6px 0 0}
details>p{margin:.5rem .7rem}
tr.error td:first-child{border-left:4px solid var(--error)}
tr.warning td:first-child{border-left:4px solid var(--warning)}
tr.note td:first-child{border-left:4px solid var(--note)}
tr.note td{background:var(--head)}
td.line{font-variant-numeric:tabular-nums;white-space:nowrap}
td.unit .name,td.place .sub,td.place .col{display:block;color:var(--muted);font-size:.9em}
table.findings td.cell{width:30%}table.findings td.msg{width:40%}
td.num .notes{display:block;color:var(--muted);font-size:.9em;white-space:nowrap}
mark{background:var(--mark);color:var(--markfg);outline:1px solid var(--warning);padding:0 1px}
mark.empty{font:italic .9em system-ui,sans-serif;color:var(--muted);background:none}
.more{color:var(--muted)}
a{color:var(--note)}:target{outline:2px solid var(--note)}
@media (max-width:40rem){body{padding:.6rem .75rem}
table.findings,table.rules,table.findings tbody,table.rules tbody{display:block}
table.findings thead,table.rules thead{display:none}
table.findings tr,table.rules tr{display:grid;grid-template-columns:max-content minmax(0,1fr);
gap:.15rem .6rem;padding:.45rem .6rem;border-bottom:1px solid var(--line)}
table.findings td,table.rules td,table.findings td.cell,table.findings td.msg{display:block;
border:0;padding:0;width:auto;min-width:0}
table.findings td.place,table.findings td.cell,table.findings td.msg{grid-column:1/-1}
table.findings td.line::before{content:"line ";color:var(--muted)}
table.findings td.cell::before{content:"value ";color:var(--muted);font-size:.9em}
table.findings td.place .sub,table.findings td.place .col{display:inline;margin-left:.5em}
tr.error td:first-child,tr.warning td:first-child,tr.note td:first-child{border-left:0}
table.findings tr.error,table.rules tr.error{border-left:4px solid var(--error)}
table.findings tr.warning,table.rules tr.warning{border-left:4px solid var(--warning)}
table.findings tr.note{border-left:4px solid var(--note);background:var(--head)}
table.rules tr{grid-template-columns:minmax(0,1fr) max-content max-content}
table.rules td:nth-child(4),table.rules td:nth-child(5){grid-column:1/-1}}
@media print{body{max-width:none;padding:0;font-size:11px}
:root{--bg:#fff;--fg:#000;--muted:#444;--line:#bbb;--head:#f3f3f3;--mark:#ffe97a;--markfg:#000}
details{break-inside:auto;border:0}details::details-content{content-visibility:visible;display:block}
summary{list-style:none}tr{break-inside:avoid}a{color:inherit;text-decoration:none}
table{table-layout:fixed}table.findings th:nth-child(1){width:4em}
table.findings th:nth-child(2),table.findings th:nth-child(3){width:15%}
table.rules th:nth-child(2){width:6em}table.rules th:nth-child(3){width:5em}
table.rules th:nth-child(4){width:9rem}table.units th:nth-child(1){width:4em}}
)css";

// A bar's width goes in steps of 5%, as classes: the page has no style attribute.
std::string bar_widths() {
  std::string css;
  for (int step = 0; step <= 20; ++step) {
    append_int(css.append(".w"), step * 5);
    append_int(css.append("{width:"), step * 5);
    css.append("%}");
  }
  return css.append("\n");
}

// By Severity: heavy multiplication x, warning sign, information source.
constexpr std::string_view kIcons[] = {"\u2716", "\u26a0", "\u2139"};

std::string_view severity_class(Severity severity) {
  return severity_name(severity);
}

void append_badge(std::string& out, Severity severity) {
  out.append("<span class=\"sev ").append(severity_class(severity)).append("\">");
  out.append(kIcons[static_cast<int>(severity)]).append(" ").append(severity_name(severity));
  out.append("</span>");
}

// A count with its thousands set apart: 148,417.
std::string number(std::int64_t value) {
  std::string digits;
  append_int(digits, value);
  std::string text;
  const std::size_t sign = digits.front() == '-' ? 1 : 0;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > sign && (digits.size() - i) % 3 == 0) text.push_back(',');
    text.push_back(digits[i]);
  }
  return text;
}

// "✖ 7 errors", in the severity's color.
std::string counted_badge(Severity severity, std::int64_t count) {
  std::string out = "<span class=\"sev ";
  out.append(severity_class(severity)).append("\">").append(kIcons[static_cast<int>(severity)]);
  out.append(" ").append(number(count));
  out.append(" ").append(severity_name(severity)).append(count == 1 ? "" : "s").append("</span>");
  return out;
}

void append_count(std::string& out, std::int64_t count, std::string_view one,
                  std::string_view many) {
  out.append(number(count));
  out.append(" ").append(count == 1 ? one : many);
}

// The rules found, by level (errors first), then by count of findings, then of notes.
std::vector<std::size_t> rules_found(const PageContent& content) {
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < kRuleCount; ++i)
    if (content.rules[i].findings + content.rules[i].notes > 0) found.push_back(i);
  std::stable_sort(found.begin(), found.end(), [&](std::size_t a, std::size_t b) {
    const Severity sa = all_rules()[a].severity;
    const Severity sb = all_rules()[b].severity;
    const RuleListing& la = content.rules[a];
    const RuleListing& lb = content.rules[b];
    if (sa != sb) return sa < sb;
    return la.findings != lb.findings ? la.findings > lb.findings : la.notes > lb.notes;
  });
  return found;
}

void append_fact(std::string& out, std::string_view term, std::string_view escaped) {
  out.append("<dt>").append(term).append("</dt><dd>").append(escaped).append("</dd>\n");
}

void append_facts(std::string& out, const PageContent& content) {
  const Summary& summary = content.summary;
  out.append("<dl class=\"facts\">\n");
  append_fact(out, "Data directory",
              "<code>" + html_text(content.facts.data_directory) + "</code>");
  append_fact(out, "Files checked",
              "<code>" + html_text(content.facts.unit_table) + "</code>, <code>" +
                  html_text(content.facts.part_list) + "</code>");
  append_fact(out, "Rows", number(summary.rows));
  append_fact(out, "Columns",
              content.facts.char_columns
                  ? "counted in characters from 1 (<code>--columns characters</code>)"
                  : "counted in bytes from 1 (<code>--columns characters</code> counts "
                    "characters)");
  append_fact(out, "Errors", counted_badge(Severity::Error, summary.errors));
  append_fact(out, "Warnings", counted_badge(Severity::Warning, summary.warnings));
  if (summary.notes > 0) append_fact(out, "Notes", number(summary.notes));
  const std::int64_t omitted = summary.omitted_errors + summary.omitted_warnings;
  if (omitted > 0)
    append_fact(out, "Not listed",
                number(omitted) + " past the limit of --max-findings (counted above)");
  if (!summary.checked)
    append_fact(out, "Not checked",
                "<strong>" +
                    html_text(summary.failure.empty() ? "the run ended early" : summary.failure) +
                    "</strong>");
  append_fact(out, "Checked by", std::string("unitlint ").append(kVersion));
  out.append("</dl>\n");
}

void append_rule_table(std::string& out, const PageContent& content,
                       const std::vector<std::size_t>& found) {
  out.append("<h2 id=\"rules\">Rules</h2>\n");
  if (found.empty()) {
    out.append("<p>No findings.</p>\n");
    return;
  }
  // Bars are shares of all findings (notes not counted), so that they add up to a whole.
  std::int64_t all = 0;
  for (const std::size_t i : found) all += content.rules[i].findings;
  all = std::max<std::int64_t>(all, 1);
  out.append(
      "<table class=\"rules\">\n<thead><tr><th>Rule</th><th>Level</th><th class=\"num\">Count"
      "</th><th>Share of all findings</th><th>What it expects</th></tr></thead>\n<tbody>\n");
  for (const std::size_t i : found) {
    const RuleInfo& rule = all_rules()[i];
    const std::int64_t count = content.rules[i].findings;
    out.append("<tr class=\"").append(severity_class(rule.severity)).append("\"><td><a href=\"#rule-");
    out.append(rule.id).append("\"><code>");
    out.append(rule.id).append("</code></a></td><td>");
    append_badge(out, rule.severity);
    out.append("</td><td class=\"num\">").append(number(count));
    if (content.rules[i].notes > 0) {
      out.append("<span class=\"notes\">+ ");
      append_count(out, content.rules[i].notes, "note", "notes");
      out.append("</span>");
    }
    // At least one step for any finding, so that no count looks like none.
    const std::int64_t step = count == 0 ? 0 : std::max<std::int64_t>(1, (count * 20 + all / 2) / all);
    out.append("</td><td><span class=\"bar\"><span class=\"").append(severity_class(rule.severity));
    append_int(out.append(" w"), step * 5);
    // The share in words too, never 0% for a finding: in the bar for a reader that shows no
    // bars, and under it for the eye.
    const std::int64_t percent = (count * 100 + all / 2) / all;
    std::string share;
    if (percent == 0 && count > 0) {
      share = "under 1%";
    } else {
      append_int(share, percent);
      share += "%";
    }
    out.append("\">").append(share).append("</span></span><span class=\"share\" aria-hidden=\"true\">");
    out.append(share).append("</span></td><td>");
    append_html(out, rule.help);
    out.append("</td></tr>\n");
  }
  out.append("</tbody>\n</table>\n");
}

// The section opened at first: the one holding the file's first fault (the lowest line), so
// that a reader starts where an editor would; the first section when no finding has a line.
std::size_t section_of_first_fault(const PageContent& content,
                                   const std::vector<std::size_t>& found) {
  std::size_t opened = 0;
  std::int64_t first = 0;
  for (std::size_t k = 0; k < found.size(); ++k) {
    const std::int64_t line = content.rules[found[k]].first_line;
    if (line > 0 && (first == 0 || line < first)) {
      first = line;
      opened = k;
    }
  }
  return opened;
}

void append_rule_section(std::string& out, const PageContent& content, std::size_t i, bool open) {
  const RuleInfo& rule = all_rules()[i];
  const RuleListing& listing = content.rules[i];
  out.append("<details id=\"rule-").append(rule.id).append(open ? "\" open>" : "\">");
  out.append("<summary>");
  append_badge(out, rule.severity);
  out.append(" <code>").append(rule.id).append("</code> \u2014 ");
  append_count(out, listing.findings, "finding", "findings");
  if (listing.notes > 0) append_count(out.append(", "), listing.notes, "note", "notes");
  out.append(" \u2014 ");
  append_html(out, rule.summary);
  out.append("</summary>\n");
  if (!listing.rows.empty()) {
    out.append(
        "<table class=\"findings\">\n<thead><tr><th>Line</th><th>Unit</th><th>Column</th>"
        "<th>Cell</th><th>Message</th></tr></thead>\n<tbody>\n");
    for (const std::string& row : listing.rows) out.append(row).append("\n");
    out.append("</tbody>\n</table>\n");
  }
  const auto listed = static_cast<std::int64_t>(listing.rows.size());
  if (listing.findings > listed) {
    append_count(out.append("<p class=\"more\">and "), listing.findings - listed, "more finding",
                 "more findings");
    out.append(" of this rule, not listed: a page lists at most ")
        .append(number(content.listed_per_rule));
    out.append(" of each rule (past ").append(number(content.listed_in_all));
    append_int(out.append(" in all, the first "), content.listed_surely);
    out.append(" of each)");
    if (content.summary.omitted_errors + content.summary.omitted_warnings > 0)
      out.append(", and no more than --max-findings in all");
    out.append("; <code>unitlint --format json</code> lists them all.</p>\n");
  }
  if (listing.findings == 0)
    out.append("<p class=\"more\">Shown as notes under the findings that explain them.</p>\n");
  out.append("</details>\n");
}

void append_units(std::string& out, const PageContent& content) {
  if (content.units.empty()) return;
  out.append(
      "<h2 id=\"units\">Units with the most findings</h2>\n<table class=\"units\">\n<thead><tr>"
      "<th>Line</th><th>Unit</th><th class=\"num\">Findings</th><th>Listed</th></tr></thead>\n"
      "<tbody>\n");
  for (const UnitTally& unit : content.units) {
    append_int(out.append("<tr><td class=\"line\">"), unit.line);
    out.append("</td><td class=\"unit\">").append(unit.key);
    if (!unit.name.empty()) out.append("<span class=\"name\">").append(unit.name).append("</span>");
    out.append("</td><td class=\"num\">").append(number(unit.findings));
    out.append("</td><td>");
    for (std::size_t k = 0; k < unit.links.size(); ++k) {
      if (k > 0) out.append(", ");
      append_int(out.append("<a href=\"#f"), unit.links[k].second);
      out.append("\"><code>").append(all_rules()[static_cast<std::size_t>(unit.links[k].first)].id);
      out.append("</code></a>");
    }
    out.append("</td></tr>\n");
  }
  out.append("</tbody>\n</table>\n");
}

}  // namespace

std::string html_page(const PageContent& content) {
  // No script and nothing from elsewhere: the page's one stylesheet is allowed by its hash, so
  // that not even a style could come from the data.
  const std::string style = std::string(kStyle).append(bar_widths());
  std::string out(kHead);
  out.append(csp_hash_source(style)).append("; base-uri 'none'; form-action 'none'\">\n");
  out.append("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n");
  out.append("<meta name=\"color-scheme\" content=\"light dark\">\n<title>unitlint: ");
  append_html(out, content.facts.data_directory);
  out.append("</title>\n<style>").append(style);
  out.append("</style>\n</head>\n<body>\n<header>\n<h1>unitlint report</h1>\n");
  append_facts(out, content);
  out.append("</header>\n<main>\n");
  const std::vector<std::size_t> found = rules_found(content);
  append_rule_table(out, content, found);
  if (!found.empty()) out.append("<h2 id=\"findings\">Findings by rule</h2>\n");
  const std::size_t opened = section_of_first_fault(content, found);
  for (std::size_t k = 0; k < found.size(); ++k)
    append_rule_section(out, content, found[k], k == opened);
  append_units(out, content);
  out.append("</main>\n</body>\n</html>\n");
  return out;
}

}  // namespace unitcheck::lint
