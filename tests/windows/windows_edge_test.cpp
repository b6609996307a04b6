// The Windows forms of the platform edge, where Windows differs from POSIX systems: UTF-16 at
// the edge, long paths, device names, letter case, links followed by the final path, binary
// pipes. Built and run only by the Windows build (under Wine in CI).
#include <io.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "platform/byte_channel.h"
#include "platform/failure.h"
#include "platform/file_system.h"
#include "platform/input_file.h"
#include "platform/process.h"
#include "platform/wide_text.h"

namespace unitcheck {
namespace {

// A fresh folder under the temporary folder, as a UTF-8 path with slashes; removed at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name) {
    path_ = std::filesystem::temp_directory_path() / std::filesystem::path(
                                                         std::u8string(name.begin(), name.end()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string utf8() const {
    const std::u8string text = path_.generic_u8string();
    return std::string(text.begin(), text.end());
  }
  std::filesystem::path path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void write_file(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::filesystem::path from_utf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

TEST(WindowsPaths, AreUtf16AtTheEdgeWithBackslashesAndTheLongFormPastTheOldLimit) {
  EXPECT_EQ(wide_from_utf8("C:/mods/\xC3\x86r\xC3\xB8/\xE6\x97\xA5\xE6\x9C\xAC"),
            L"C:/mods/\u00C6r\u00F8/\u65E5\u672C");
  EXPECT_EQ(utf8_from_wide(L"\U0001F680"), "\xF0\x9F\x9A\x80");
  EXPECT_EQ(system_path("C:/mods/data"), L"C:\\mods\\data");
  // Bytes that are no UTF-8, and a zero byte, name nothing.
  EXPECT_EQ(system_path("C:/mods/\xFF"), L"");
  EXPECT_EQ(system_path(std::string("C:/a\0b", 6)), L"");
  const std::string deep = "C:/" + std::string(300, 'x') + "/../data/./units";
  const std::wstring long_form = system_path(deep);
  EXPECT_EQ(long_form, L"\\\\?\\C:\\data\\units");
  EXPECT_EQ(system_path("//server/share/" + std::string(250, 'y')),
            L"\\\\?\\UNC\\server\\share\\" + std::wstring(250, L'y'));
}

TEST(WindowsPaths, DevicesAreToldFromFiles) {
  for (const wchar_t* device : {L"\\\\.\\COM1", L"//./PhysicalDrive0", L"\\\\?\\GLOBALROOT\\x",
                                L"\\\\?\\Volume{1}\\x"})
    EXPECT_TRUE(names_device_namespace(device)) << utf8_from_wide(device);
  for (const wchar_t* file : {L"C:\\data", L"\\\\?\\C:\\data", L"\\\\?\\UNC\\s\\x",
                              L"\\\\server\\share", L"data\\units"})
    EXPECT_FALSE(names_device_namespace(file)) << utf8_from_wide(file);
  for (const wchar_t* reserved : {L"NUL", L"C:\\data\\nul.mesh", L"units\\Con", L"x\\COM1.csv",
                                  L"x\\lpt9", L"x\\AUX . txt", L"x\\CONOUT$", L"x\\COM\u00B9"})
    EXPECT_TRUE(ends_in_reserved_name(reserved)) << utf8_from_wide(reserved);
  for (const wchar_t* name : {L"NULL", L"x\\COM10", L"x\\COM0", L"x\\nul\\units.csv",
                              L"x\\console.mesh", L"x\\LPT"})
    EXPECT_FALSE(ends_in_reserved_name(name)) << utf8_from_wide(name);
}

TEST(WindowsFiles, NamesOfAnyLanguageAreFoundListedAndRead) {
  const TempFolder folder("unitcheck-\xC3\x86r\xC3\xB8-\xE6\x97\xA5\xE6\x9C\xAC");
  const std::string file = folder.utf8() + "/\xF0\x9F\x9A\x80.csv";
  write_file(from_utf8(file), "a\nb\r\n");
  EXPECT_TRUE(exists(file));
  EXPECT_TRUE(is_directory(folder.utf8()));
  EXPECT_FALSE(is_directory(file));
  EXPECT_EQ(folder_entry_names(folder.utf8()), std::vector<std::string>{"\xF0\x9F\x9A\x80.csv"});
  EXPECT_EQ(why_not_readable(file), "");
  // Read as bytes: the CR LF stays as it is.
  EXPECT_EQ(read_whole_file(file), "a\nb\r\n");
  // Backslashes name the same file; letter case too, on a volume that ignores it.
  std::string backslashed = file;
  for (char& c : backslashed) {
    if (c == '/') c = '\\';
  }
  EXPECT_TRUE(exists(backslashed));
  EXPECT_EQ(read_whole_file(folder.utf8() + "\\\xF0\x9F\x9A\x80.CSV"), "a\nb\r\n");
  EXPECT_EQ(test_existence(folder.utf8() + "/missing"), Existence::Missing);
}

TEST(WindowsFiles, ReservedNamesAreNeverDataFilesWhateverTheFolderHolds) {
  const TempFolder folder("unitcheck-reserved");
  for (const std::string name : {"NUL", "nul.mesh", "COM1", "con.csv"}) {
    const std::string path = folder.utf8() + "/" + name;
    EXPECT_FALSE(exists(path)) << name;
    EXPECT_EQ(why_not_readable(path), "Not a regular file") << name;
    EXPECT_THROW(InputFile{path}, Failure) << name;
    EXPECT_EQ(link_state(path), LinkState::Missing) << name;
  }
  EXPECT_THROW(InputFile{"\\\\.\\NUL"}, Failure);
  EXPECT_EQ(why_not_readable("//./NUL"), "Not a regular file");
  EXPECT_EQ(why_not_readable(folder.utf8()), "Is a directory");
  EXPECT_EQ(why_not_readable(folder.utf8() + "/missing.csv"), "No such file or directory");
}

TEST(WindowsFiles, PathsPastTwoHundredAndSixtyCharactersWork) {
  const TempFolder folder("unitcheck-long");
  std::string path = folder.utf8();
  while (path.size() < 400) path += "/a-folder-of-thirty-characters";
  ASSERT_TRUE(std::filesystem::create_directories(from_utf8(path)));
  const std::string file = path + "/units.csv";
  write_file(from_utf8(file), "long");
  EXPECT_TRUE(is_directory(path));
  EXPECT_TRUE(exists(file));
  EXPECT_EQ(read_whole_file(file), "long");
  EXPECT_EQ(why_not_readable(file), "");
  EXPECT_EQ(folder_entry_names(path), std::vector<std::string>{"units.csv"});
  const std::string real = real_path(file);
  EXPECT_TRUE(real.ends_with("/a-folder-of-thirty-characters/units.csv")) << real;
  // The long form takes names as they are: ".." is worked out before.
  EXPECT_EQ(read_whole_file(path + "/../a-folder-of-thirty-characters/./units.csv"), "long");
}

TEST(WindowsFiles, RealPathsHaveADriveLetterAndSlashesAndLieUnderTheirVolume) {
  const TempFolder folder("unitcheck-real");
  std::filesystem::create_directories(folder.path() / "data" / "units");
  const std::string real = real_path(folder.utf8() + "\\data\\units\\..");
  ASSERT_GE(real.size(), 3u);
  EXPECT_EQ(real[1], ':') << real;
  EXPECT_EQ(real.find('\\'), std::string::npos) << real;
  EXPECT_TRUE(real.ends_with("/data")) << real;
  EXPECT_TRUE(lies_under(real, real.substr(0, 3)));  // "C:/"
  EXPECT_TRUE(lies_under(real.substr(0, 2), real.substr(0, 3)));
  EXPECT_FALSE(lies_under(real + "-other", real));
  EXPECT_TRUE(lies_under(real + "/units", real));
}

TEST(WindowsEnvironment, HomeFallsBackToTheUserProfileOnlyWhenHomeIsUnset) {
  const std::optional<std::string> home = environment_variable("HOME");
  const std::optional<std::string> profile = environment_variable("USERPROFILE");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"USERPROFILE", L"C:\\Users\\\u00C6r\u00F8"));
  ASSERT_TRUE(::SetEnvironmentVariableW(L"HOME", nullptr));
  EXPECT_EQ(home_folder(), "C:\\Users\\\xC3\x86r\xC3\xB8");
  ASSERT_TRUE(::SetEnvironmentVariableW(L"HOME", L""));
  EXPECT_EQ(home_folder(), "");
  EXPECT_EQ(environment_variable("UNITCHECK_NEVER_SET"), std::nullopt);
  ::SetEnvironmentVariableW(L"HOME", home ? wide_from_utf8(*home).c_str() : nullptr);
  ::SetEnvironmentVariableW(L"USERPROFILE", profile ? wide_from_utf8(*profile).c_str() : nullptr);
}

// A pipe's two ends as C library descriptors, in binary mode.
struct Pipe {
  int read = -1;
  int write = -1;
};
Pipe make_pipe() {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!::CreatePipe(&read, &write, nullptr, 0)) return {};
  return {::_open_osfhandle(reinterpret_cast<intptr_t>(read), 0),
          ::_open_osfhandle(reinterpret_cast<intptr_t>(write), 0)};
}

TEST(WindowsPipes, CarryBytesAsTheyAreAndAWaitingReadIsInterrupted) {
  const Pipe pipe = make_pipe();
  ASSERT_GE(pipe.read, 0);
  FdSink sink(pipe.write);
  FdSource source(pipe.read);
  const std::string framed = "Content-Length: 4\r\n\r\n\"\n\"\n";
  ASSERT_TRUE(sink.write(framed));
  std::string got(64, '\0');
  got.resize(source.read(got));
  EXPECT_EQ(got, framed);  // no \n became \r\n, none was dropped
  // Nothing more comes: a read waits until interrupt() wakes it, and later reads end.
  auto waiting = std::async(std::launch::async, [&] {
    char byte;
    return source.read(std::span<char>(&byte, 1));
  });
  EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
  source.interrupt();
  ASSERT_EQ(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(waiting.get(), 0u);
  ::_close(pipe.write);
  ::_close(pipe.read);
}

TEST(WindowsPipes, AWriteToAPipeWithoutReaderFails) {
  const Pipe pipe = make_pipe();
  ASSERT_GE(pipe.read, 0);
  ::_close(pipe.read);
  FdSink sink(pipe.write);
  EXPECT_FALSE(sink.write("lost"));
  ::_close(pipe.write);
}

}  // namespace
}  // namespace unitcheck
