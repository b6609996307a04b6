#pragma once

#include <optional>
#include <string>

namespace unitcheck {

// What a program is started with beyond its arguments: its environment and its standard
// streams.

// Makes the standard streams carry bytes as they are: on Windows, no "\n" becomes "\r\n" on
// the way out nor the reverse on the way in (the transcript is the same bytes as elsewhere, and
// a language server's framing counts them), and a console shows UTF-8 whatever its code page.
// Nothing to do elsewhere. Called first thing by each program.
void use_binary_standard_streams();

// A client that goes away must end a server through a failed write, not a signal: SIGPIPE is
// ignored (Windows has none).
void ignore_broken_pipe_signal();

// The value of an environment variable, as UTF-8; none when it is unset.
std::optional<std::string> environment_variable(const char* name);

// The user's home folder: HOME. Windows sets no HOME: there, when it is unset, USERPROFILE.
std::optional<std::string> home_folder();

// Whether standard output is a terminal that shows colours given as escape sequences: a
// terminal on POSIX systems; on Windows a console with virtual-terminal processing (Windows
// Terminal, or a console that accepts it when asked), never a pipe or a file.
bool standard_output_is_color_terminal();

// Whether the program's console is its own and closes when it ends: on Windows, the console
// that Explorer opens for a program double-clicked, which no shell shares. Never elsewhere.
bool console_closes_at_exit();

// Waits until a key is pressed on the console (with console_closes_at_exit: before it closes).
void wait_for_key();

}  // namespace unitcheck
