#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace unitcheck::lint {

// Calls put_run with each run of text's bytes that is_escaped does not pick, whole, and
// put_escape with each byte it picks, in their order. The texts escaped so (values, paths,
// messages) rarely hold such a byte: a run goes in with one copy.
template <class IsEscaped, class PutRun, class PutEscape>
void escape_runs(std::string_view text, IsEscaped is_escaped, PutRun&& put_run,
                 PutEscape&& put_escape) {
  while (!text.empty()) {
    const auto run =
        static_cast<std::size_t>(std::find_if(text.begin(), text.end(), is_escaped) - text.begin());
    put_run(text.substr(0, run));
    if (run == text.size()) return;
    put_escape(text[run]);
    text.remove_prefix(run + 1);
  }
}

}  // namespace unitcheck::lint
