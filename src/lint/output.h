#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace unitcheck::lint {

// Where unitlint's report goes.
class Output {
 public:
  virtual void write(std::string_view text) = 0;
  // Whether a write failed; asked once, at the end (it flushes).
  virtual bool failed() { return false; }
  // The errno of the first failure.
  virtual int error_number() const { return 0; }

 protected:
  ~Output() = default;
};

// A stdio stream. After a failed write the rest is dropped.
class FileOutput final : public Output {
 public:
  explicit FileOutput(std::FILE* file) : file_(file) {}
  void write(std::string_view text) override;
  bool failed() override;
  int error_number() const override { return error_number_; }

 private:
  void note_failure();

  std::FILE* file_;
  bool failed_ = false;
  int error_number_ = 0;
};

// A string, for tests and in-process use.
class StringOutput final : public Output {
 public:
  explicit StringOutput(std::string& text) : text_(text) {}
  void write(std::string_view text) override { text_.append(text); }

 private:
  std::string& text_;
};

}  // namespace unitcheck::lint
