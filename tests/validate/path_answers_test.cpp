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

// Forgetting every third path of a table with long probe runs leaves the others where a lookup
// finds them, with their answers; the forgotten ones have none and take a new answer.
TEST(PathAnswers, ForgetsOnlyThePathsItIsTold) {
  PathAnswers answers;
  auto path_of = [](int i) { return "data/units/" + std::to_string(i); };
  for (int i = 0; i < 5000; ++i) answers.insert(path_of(i), hash_text(path_of(i)), i % 2 == 0);
  answers.forget_if(
      [](std::string_view path) { return std::stoi(std::string(path.substr(11))) % 3 == 0; });
  EXPECT_EQ(answers.size(), 5000u - 1667u);
  for (int i = 0; i < 5000; ++i) {
    const std::string path = path_of(i);
    ASSERT_EQ(answers.find(path, hash_text(path)), i % 3 == 0 ? -1 : (i % 2 == 0 ? 1 : 0)) << i;
  }
  answers.insert(path_of(3), hash_text(path_of(3)), true);
  EXPECT_EQ(answers.find(path_of(3), hash_text(path_of(3))), 1);
  answers.forget_if([](std::string_view) { return false; });
  EXPECT_EQ(answers.size(), 5000u - 1666u);
}

}  // namespace
}  // namespace unitcheck
