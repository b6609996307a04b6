#include "lint/format.h"

#include "lint/github_format.h"
#include "lint/html_format.h"
#include "lint/json_format.h"
#include "lint/sarif_format.h"
#include "lint/text_format.h"

namespace unitcheck::lint {

std::unique_ptr<Format> make_format(OutputFormat format, bool color, bool char_columns) {
  switch (format) {
    case OutputFormat::Json:
      return make_json_format();
    case OutputFormat::Sarif:
      return make_sarif_format();
    case OutputFormat::Github:
      return make_github_format();
    case OutputFormat::Html:
      return make_html_format(char_columns);
    case OutputFormat::Text:
    case OutputFormat::Markdown:
      break;
  }
  return make_text_format(color, char_columns);
}

}  // namespace unitcheck::lint
