#include "lint/command_line.h"

#include <getopt.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "lint/exit_status.h"
#include "lint/version.h"

namespace unitcheck::lint {

namespace {

constexpr std::string_view kHelp =
    "Usage: unitlint [OPTIONS] [DATADIR]\n"
    "Checks the unit database of a game data directory (units/units.csv and\n"
    "master_part_list.csv) and reports each fault with its file, line and column.\n"
    "\n"
    "  -f, --format=FORMAT  output: text (default), json, sarif, github or html (a\n"
    "                       page to open in a browser, findings grouped by rule);\n"
    "                       with --schema: text, json or markdown\n"
    "      --color=WHEN     color the text output: auto (a terminal, unless NO_COLOR\n"
    "                       is set; the default), always or never\n"
    "      --strict         warnings fail the run too (exit status 1)\n"
    "      --max-findings=N list at most N findings (errors and warnings; a finding's\n"
    "                       notes come with it); the rest are counted in the summary.\n"
    "                       SARIF logs list at most 25,000, workflow commands 10\n"
    "                       errors and 10 warnings unless N is given\n"
    "      --columns=UNIT   count text columns in bytes (the default, as Vim does) or\n"
    "                       characters (code points, as VS Code and Emacs do); JSON\n"
    "                       gives both, SARIF code points\n"
    "      --schema         print the unit table's columns and the nested lists'\n"
    "                       fields, then exit\n"
    "      --follow-links   read units/units.csv and master_part_list.csv even when\n"
    "                       a symbolic link leads them outside the data directory\n"
    "      --lsp, --stdio   run as a language server for editors (LSP 3.17 over\n"
    "                       standard input and output); DATADIR is not read\n"
    "  -h, --help           print this help and exit\n"
    "  -V, --version        print the version and exit\n"
    "\n"
    "DATADIR is the data directory (default: the current directory), or its units/\n"
    "folder, or its units/units.csv.\n"
    "Exit status: 0 no error, 1 errors found (or warnings, with --strict), 2 could not\n"
    "check.\n";

template <class Value>
struct Word {
  std::string_view word;
  Value value;
};

constexpr Word<OutputFormat> kFormats[] = {
    {"text", OutputFormat::Text},   {"json", OutputFormat::Json},
    {"sarif", OutputFormat::Sarif}, {"github", OutputFormat::Github},
    {"html", OutputFormat::Html},   {"markdown", OutputFormat::Markdown}};
constexpr Word<ColorMode> kColorModes[] = {
    {"auto", ColorMode::Auto}, {"always", ColorMode::Always}, {"never", ColorMode::Never}};
constexpr Word<bool> kColumnUnits[] = {{"bytes", false}, {"characters", true}};

// Values for the long options that have no short form.
enum LongOnly : int { kColor = 256, kStrict, kSchema, kMaxFindings, kColumns, kFollowLinks, kLsp };

constexpr option kOptions[] = {{"format", required_argument, nullptr, 'f'},
                               {"color", required_argument, nullptr, kColor},
                               {"strict", no_argument, nullptr, kStrict},
                               {"schema", no_argument, nullptr, kSchema},
                               {"max-findings", required_argument, nullptr, kMaxFindings},
                               {"columns", required_argument, nullptr, kColumns},
                               {"follow-links", no_argument, nullptr, kFollowLinks},
                               {"lsp", no_argument, nullptr, kLsp},
                               {"stdio", no_argument, nullptr, kLsp},
                               {"help", no_argument, nullptr, 'h'},
                               {"version", no_argument, nullptr, 'V'},
                               {nullptr, 0, nullptr, 0}};
// Leading ':': a missing argument is told apart from an unknown option.
constexpr char kShortOptions[] = ":f:hV";

// One line: a value quoted into a message may hold a line feed.
std::string one_line(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

CommandLine bad_usage(const std::string& message) {
  CommandLine line;
  line.exit_status = kExitCannotCheck;
  line.err = "unitlint: " + one_line(message) + " (unitlint --help lists the options)\n";
  return line;
}

CommandLine ending(std::string out) {
  CommandLine line;
  line.exit_status = kExitClean;
  line.out = std::move(out);
  return line;
}

// An option's word as its value; empty when it is none of the words, with the reason.
template <class Value, std::size_t N>
std::string take_word(const Word<Value> (&words)[N], std::string_view option_name,
                      std::string_view word, Value& value) {
  std::string list;
  for (const auto& known : words) {
    if (known.word == word) {
      value = known.value;
      return {};
    }
    list += list.empty() ? "" : ", ";
    list += known.word;
  }
  return "--" + std::string(option_name) + ": '" + std::string(word) + "' is not one of " + list;
}

// A count of 0 or more in decimal digits; none for anything else. Counts past what a report
// could hold are taken as no limit.
std::optional<std::int64_t> count_word(std::string_view word) {
  if (word.empty() || word.size() > 18) {
    if (word.size() > 18 &&
        std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return kUnlimited;
    return std::nullopt;
  }
  std::int64_t count = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    count = count * 10 + (c - '0');
  }
  return count;
}

// The formats each mode knows: markdown describes the schema only; SARIF and workflow commands
// describe findings only.
std::string mismatch(const LintOptions& options) {
  const OutputFormat f = options.format;
  if (options.schema &&
      (f == OutputFormat::Sarif || f == OutputFormat::Github || f == OutputFormat::Html))
    return "--schema prints text, json or markdown";
  if (!options.schema && f == OutputFormat::Markdown) return "--format markdown needs --schema";
  return {};
}

// What the option just read (argv[optind - 1]) was: for messages.
std::string offending(const std::vector<char*>& arguments) {
  const int index = std::min<int>(optind, static_cast<int>(arguments.size()) - 1) - 1;
  return index > 0 ? arguments[static_cast<std::size_t>(index)] : "";
}

// Why getopt_long refused the option it just read.
std::string unknown_option(const std::vector<char*>& arguments) {
  const std::string argument = offending(arguments);
  if (!argument.starts_with("--"))
    return "unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'";
  const std::size_t equals = argument.find('=');
  const std::string name = argument.substr(0, equals);
  if (equals != std::string::npos) {
    for (const option& known : kOptions)
      if (known.name != nullptr && known.has_arg == no_argument &&
          std::string_view(known.name).starts_with(std::string_view(name).substr(2)))
        return "option '--" + std::string(known.name) + "' takes no value";
  }
  return "unknown or ambiguous option '" + name + "'";
}

}  // namespace

CommandLine parse_command_line(int argc, const char* const* argv) {
  // getopt_long reorders the pointers (options first, GNU style), never the texts: it works on
  // a copy of the array. Its state lives in the C library; optind = 0 starts it afresh.
  std::vector<char*> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(const_cast<char*>(argv[i]));
  arguments.push_back(nullptr);
  optind = 0;
  opterr = 0;
  CommandLine line;
  LintOptions& options = line.options;
  // Words are judged once every option is read: --help and --version win over a bad word.
  std::optional<std::string> format_word, color_word, max_findings_word, columns_word;
  bool help = false, version = false;
  for (;;) {
    const int option = getopt_long(argc, arguments.data(), kShortOptions, kOptions, nullptr);
    if (option == -1) break;
    switch (option) {
      case 'f':
        format_word = optarg;
        break;
      case kColor:
        color_word = optarg;
        break;
      case kStrict:
        options.strict = true;
        break;
      case kMaxFindings:
        max_findings_word = optarg;
        break;
      case kColumns:
        columns_word = optarg;
        break;
      case kSchema:
        options.schema = true;
        break;
      case kFollowLinks:
        options.follow_links = true;
        break;
      case kLsp:
        options.language_server = true;
        break;
      case 'h':
        help = true;
        break;
      case 'V':
        version = true;
        break;
      case ':':
        return bad_usage("option '" + offending(arguments) + "' needs a value");
      default:
        return bad_usage(unknown_option(arguments));
    }
  }
  if (help) return ending(std::string(kHelp));
  if (version) return ending("unitlint " + std::string(kVersion) + "\n");
  // getopt_long has moved the operands behind the options, in their order.
  if (argc - optind > 1)
    return bad_usage("unexpected argument '" +
                     std::string(arguments[static_cast<std::size_t>(optind) + 1]) +
                     "': one DATADIR at most");
  if (optind < argc) options.data_directory = arguments[static_cast<std::size_t>(optind)];
  if (format_word) {
    if (std::string problem = take_word(kFormats, "format", *format_word, options.format);
        !problem.empty())
      return bad_usage(problem);
  }
  if (color_word) {
    if (std::string problem = take_word(kColorModes, "color", *color_word, options.color);
        !problem.empty())
      return bad_usage(problem);
  }
  if (columns_word) {
    if (std::string problem =
            take_word(kColumnUnits, "columns", *columns_word, options.char_columns);
        !problem.empty())
      return bad_usage(problem);
  }
  if (max_findings_word) {
    options.max_findings = count_word(*max_findings_word);
    if (!options.max_findings)
      return bad_usage("--max-findings: '" + *max_findings_word + "' is not a count (0 or more)");
  }
  if (const std::string problem = mismatch(options); !problem.empty()) return bad_usage(problem);
  return line;
}

bool use_color(ColorMode mode, bool terminal, const char* no_color) {
  if (mode != ColorMode::Auto) return mode == ColorMode::Always;
  return terminal && (no_color == nullptr || *no_color == '\0');
}

}  // namespace unitcheck::lint
