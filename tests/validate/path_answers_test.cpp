#include "validate/path_answers.h"

#include <gtest/gtest.h>

#include <string>

#include "tables/text_map.h"

namespace unitcheck {
namespace {

// Paths of every length up to a few hundred bytes, the empty one among them, told apart by their
// last bytes, through many regrowths: each keeps its first answer, and paths never given (the
// same with a byte more at either end) have none.
TEST(PathAnswers, KeepsTheFirstAnswerOfEveryPathAndNoOther) {
  PathAnswers answers;
  auto path_of = [](int i) {
    return std::string(static_cast<std::size_t>(i % 300), '/') + std::to_string(i);
  };
  auto answer_of = [](int i) { return i % 3 == 0; };
  answers.insert("", hash_text(""), true);
  for (int i = 0; i < 20000; ++i) {
    const std::string path = path_of(i);
    answers.insert(path, hash_text(path), answer_of(i));
    answers.insert(path, hash_text(path), !answer_of(i));  // a second test's answer: dropped
  }
  EXPECT_EQ(answers.size(), 20001u);
  EXPECT_EQ(answers.find("", hash_text("")), 1);
  for (int i = 0; i < 20000; ++i) {
    const std::string path = path_of(i);
    ASSERT_EQ(answers.find(path, hash_text(path)), answer_of(i) ? 1 : 0) << i;
    for (const std::string& other : {path + "x", "x" + path})
      ASSERT_EQ(answers.find(other, hash_text(other)), -1) << i;
  }
  answers.clear();
  EXPECT_EQ(answers.size(), 0u);
  EXPECT_EQ(answers.find(path_of(5), hash_text(path_of(5))), -1);
}

}  // namespace
}  // namespace unitcheck
