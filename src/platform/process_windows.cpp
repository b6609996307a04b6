#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdlib>

#include "platform/process.h"
#include "platform/wide_text.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace unitcheck {

namespace {

UINT g_output_code_page = 0;  // the console's code page before ours, to give back at exit

void give_back_code_page() {
  ::SetConsoleOutputCP(g_output_code_page);
}

bool is_console(DWORD which) {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

}  // namespace

void use_binary_standard_streams() {
  for (const int fd : {0, 1, 2}) ::_setmode(fd, _O_BINARY);
  // What goes through the C library (unitlint's report, messages on standard error) reaches a
  // console as bytes, which it reads in its output code page: UTF-8 while the program runs.
  if (is_console(STD_OUTPUT_HANDLE) || is_console(STD_ERROR_HANDLE)) {
    const UINT before = ::GetConsoleOutputCP();
    if (before != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8)) {
      g_output_code_page = before;
      std::atexit(give_back_code_page);
    }
  }
}

void ignore_broken_pipe_signal() {
  // Windows has no SIGPIPE: a write to a pipe whose reader is gone fails (ERROR_NO_DATA).
}

std::optional<std::string> environment_variable(const char* name) {
  const std::wstring wide_name = wide_from_utf8(name);
  std::wstring value(256, L'\0');
  for (;;) {
    ::SetLastError(0);
    const DWORD used = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(),
                                                 static_cast<DWORD>(value.size()));
    if (used == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    if (used < value.size()) {
      value.resize(used);
      return utf8_from_wide(value);
    }
    value.resize(used);  // too small: used is the size needed
  }
}

std::optional<std::string> home_folder() {
  if (auto home = environment_variable("HOME")) return home;
  return environment_variable("USERPROFILE");
}

bool standard_output_is_color_terminal() {
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (!::GetConsoleMode(output, &mode)) return false;
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  // A console that takes escape sequences when asked (Windows 10 and later) shows colours; an
  // older one would print them as text.
  return ::SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool console_closes_at_exit() {
  // A console opened for a shell lists the shell too; one opened for us alone lists only us.
  DWORD processes[2];
  return ::GetConsoleProcessList(processes, 2) == 1;
}

void wait_for_key() {
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!::GetConsoleMode(input, &mode)) return;
  ::FlushConsoleInputBuffer(input);
  INPUT_RECORD record{};
  DWORD read = 0;
  while (::ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
  }
}

}  // namespace unitcheck
