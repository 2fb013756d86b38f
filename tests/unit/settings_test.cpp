// Settings reader: one short case per edge of the file format, grouped by theme, mostly through
// ReadSettings on in-memory text; LoadSettings is exercised on real files in a scratch directory.
#include "settings/settings.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <locale>
#include <new>
#include <sstream>
#include <string>

#include "app/app_state.hpp"

// Bytes asked of operator new while counting is on: a reader that holds a long line shows here.
static bool countAllocations = false;
static std::size_t allocatedBytes = 0;

void* operator new(std::size_t size) {
  if (countAllocations) allocatedBytes += size;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
// Not inlined: the compiler would then see free() on a pointer from operator new and warn.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

void Read(const std::string& text) {
  std::istringstream in(text);
  ReadSettings(in);
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void ExpectTriple(const float* v, float a, float b, float c) {
  EXPECT_FLOAT_EQ(v[0], a);
  EXPECT_FLOAT_EQ(v[1], b);
  EXPECT_FLOAT_EQ(v[2], c);
}

void ExpectSameSettings(const SceneSettingsRecord& a, const SceneSettingsRecord& b) {
  EXPECT_EQ(a.number_objects, b.number_objects);
  EXPECT_EQ(a.number_objects_step, b.number_objects_step);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(a.light_position[i], b.light_position[i]) << "light_position " << i;
    EXPECT_EQ(a.intensity_source[i], b.intensity_source[i]) << "intensity_source " << i;
    EXPECT_EQ(a.intensity_ambient[i], b.intensity_ambient[i]) << "intensity_ambient " << i;
  }
  EXPECT_EQ(a.kAmbient, b.kAmbient);
  EXPECT_EQ(a.kDifuse, b.kDifuse);
}

// Every field away from its initial value, so a file that sets them all back is visible.
constexpr SceneSettingsRecord kScrambled = {
    33, 9, {-1.0f, -2.0f, -3.0f}, 0.75f, 0.25f, {0.1f, 0.2f, 0.3f}, {0.4f, 0.5f, 0.6f}};

const char kExampleFile[] =
    "number_objects\n1\nnumber_objects_step\n2\nlight_position\n0 0 10\nkAmbient\n0.1\n"
    "kDifuse\n1.0\nintensity_source\n1 0.7 0.7\nintensity_ambient\n0 0.5 0.5\n";

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SceneSettings = kInitialSceneSettings;
    AppState = kInitialAppState;
  }
};

// --- Whole files -------------------------------------------------------------------------------

TEST_F(SettingsTest, ExampleFileSetsEveryFieldToItsInitialValue) {
  SceneSettings = kScrambled;
  Read(kExampleFile);
  ExpectSameSettings(SceneSettings, kInitialSceneSettings);
}

TEST_F(SettingsTest, EmptyOrFailedStreamChangesNothing) {
  Read("");
  ExpectSameSettings(SceneSettings, kInitialSceneSettings);

  std::istringstream failed("kAmbient\n0.5\n");
  failed.setstate(std::ios_base::failbit);
  ReadSettings(failed);
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f);
}

TEST_F(SettingsTest, LastValueWithoutLineEndIsStored) {
  Read("kDifuse\n0.5");
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.5f);
  Read("intensity_ambient\n0.1 0.2 0.3");
  ExpectTriple(SceneSettings.intensity_ambient, 0.1f, 0.2f, 0.3f);
  // A value missing at the end of the file keeps its field.
  Read("number_objects\n9\nkAmbient\n\n  \n");
  EXPECT_EQ(SceneSettings.number_objects, 9);
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f);
}

TEST_F(SettingsTest, RepeatedKeyTakesTheLaterValueAndBoundsAgain) {
  Read("kAmbient\n0.2\nnumber_objects\n80\nkAmbient\n0.3\nnumber_objects\n4\n");
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.3f);
  EXPECT_EQ(SceneSettings.number_objects, 4);
  Read("number_objects\n4\nnumber_objects\n-8\n");
  EXPECT_EQ(SceneSettings.number_objects, 1);
}

// --- Integer keys and their bounds -------------------------------------------------------------

TEST_F(SettingsTest, NumberObjectsIsKeptWithinOneToFifty) {
  const struct {
    const char* value;
    int expected;
  } cases[] = {{"0", 1}, {"-3", 1}, {"1", 1}, {"50", 50}, {"75", 50}, {"+7", 7}, {"010", 10}};
  for (const auto& c : cases) {
    SceneSettings = kInitialSceneSettings;
    Read(std::string("number_objects\n") + c.value + "\n");
    EXPECT_EQ(SceneSettings.number_objects, c.expected) << c.value;
  }
}

TEST_F(SettingsTest, StepIsKeptWithinOneToTenWhateverTheCount) {
  const struct {
    const char* value;
    int expected;
  } cases[] = {{"0", 1}, {"-1", 1}, {"25", 10}, {"10", 10}, {"7", 7}};
  for (const auto& c : cases) {
    SceneSettings = kInitialSceneSettings;
    Read(std::string("number_objects\n40\nnumber_objects_step\n") + c.value + "\n");
    EXPECT_EQ(SceneSettings.number_objects_step, c.expected) << c.value;
    EXPECT_EQ(SceneSettings.number_objects, 40);
  }
}

TEST_F(SettingsTest, FractionAfterIntegerIsALineOfItsOwn) {
  // 5.5 stores 5; ".5" is then read as a line, ignored, and the reading goes on.
  Read("number_objects\n5.5\nkAmbient\n0.25\n");
  EXPECT_EQ(SceneSettings.number_objects, 5);
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.25f);
}

TEST_F(SettingsTest, IntegerBeyondThirtyTwoBitsKeepsTheFieldAndEndsReading) {
  // The stream library stores the type's limit on overflow; the field must not see it.
  Read("number_objects\n7\nnumber_objects\n99999999999\nkAmbient\n0.5\n");
  EXPECT_EQ(SceneSettings.number_objects, 7);
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f);

  Read("number_objects_step\n-99999999999\n");
  EXPECT_EQ(SceneSettings.number_objects_step, 2);
  Read("number_objects\n2147483647\n");
  EXPECT_EQ(SceneSettings.number_objects, 50);
}

// --- Float keys -------------------------------------------------------------------------------

TEST_F(SettingsTest, ThreeValuesMayStandOnSeparateLinesOrAfterBlankLines) {
  Read("light_position\n1\n2\n3\n");
  ExpectTriple(SceneSettings.light_position, 1, 2, 3);
  Read("light_position\n\n \t\n4 5\n\n6\n");
  ExpectTriple(SceneSettings.light_position, 4, 5, 6);
}

TEST_F(SettingsTest, FloatBeyondSinglePrecisionKeepsTheFieldAndEndsReading) {
  Read("kDifuse\n1e39\nkAmbient\n0.5\n");
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 1.0f);
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f);

  // Values read before the failure stay stored.
  Read("intensity_source\n0.25 -1e39 0.5\n");
  ExpectTriple(SceneSettings.intensity_source, 0.25f, 0.7f, 0.7f);
}

TEST_F(SettingsTest, DecimalCommaReadsTheWholePartOnly) {
  Read("kAmbient\n0,5\nkDifuse\n0.5\n");
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.0f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.5f);

  // Three values: x takes 0, the comma fails y, and nothing after is read.
  SceneSettings = kScrambled;
  Read("light_position\n1,5 2,5 3,5\nkDifuse\n0.5\n");
  ExpectTriple(SceneSettings.light_position, 1, -2, -3);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, kScrambled.kDifuse);
}

TEST_F(SettingsTest, StreamLocaleIsReplacedByTheClassicOne) {
  struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  std::istringstream in("kAmbient\n0,5\nkDifuse\n0.5\n");
  in.imbue(std::locale(std::locale::classic(), new CommaDecimal));
  ReadSettings(in);
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.0f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.5f);
}

// --- Lines that are no key ---------------------------------------------------------------------

TEST_F(SettingsTest, KeyWithExtraCharactersIsIgnoredAlongWithItsValueLine) {
  const std::string keys[] = {
      "kAmbient ",    " kAmbient",      "kambient", "KAMBIENT", "\xEF\xBB\xBFkAmbient",
      "kAmbient 0.5", {"kAmbient\0", 9}};
  for (const std::string& key : keys) {
    SceneSettings = kInitialSceneSettings;
    // The value line is then no key either; the key after it must still be read.
    Read(key + "\n0.5\nkDifuse\n0.25\n");
    EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f) << key;
    EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.25f) << key;
  }
}

TEST_F(SettingsTest, MissingValueBeforeNextKeyEndsReading) {
  Read("kAmbient\nkDifuse\n0.5\nnumber_objects\n7\n");
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 1.0f);
  EXPECT_EQ(SceneSettings.number_objects, 1);
}

TEST_F(SettingsTest, NoteAfterAValueIsIgnoredButNoteBeforeItEndsReading) {
  Read("kAmbient\n0.25 ambient factor\nkDifuse\n0.5 diffuse\n");
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.25f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.5f);

  SceneSettings = kInitialSceneSettings;
  Read("kAmbient\nambient factor\n0.25\nkDifuse\n0.5\n");
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 1.0f);
}

TEST_F(SettingsTest, KeyAfterTheLastValueOnItsLineIsStillAKey) {
  // The rest of a value's line is compared like any line; here it starts with a blank.
  Read("kAmbient\n0.25 kDifuse\n0.5\n");
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.25f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 1.0f);
  // Without the blank the rest of the line is exactly a key.
  Read("number_objects\n3kDifuse\n0.5\n");
  EXPECT_EQ(SceneSettings.number_objects, 3);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.5f);
}

// Hands out `count` copies of one byte and then a tail, holding only a small chunk of the copies.
class RepeatingBuffer : public std::streambuf {
 public:
  RepeatingBuffer(char byte, std::size_t count, std::string tail)
      : left_(count), tail_(std::move(tail)) {
    std::fill(std::begin(chunk_), std::end(chunk_), byte);
  }

 protected:
  int_type underflow() override {
    if (left_ > 0) {
      const std::size_t n = std::min(left_, sizeof chunk_);
      left_ -= n;
      setg(chunk_, chunk_, chunk_ + n);
    } else if (!tailGiven_) {
      tailGiven_ = true;
      setg(tail_.data(), tail_.data(), tail_.data() + tail_.size());
    } else {
      return traits_type::eof();
    }
    return traits_type::to_int_type(*gptr());
  }

 private:
  char chunk_[4096];
  std::size_t left_;
  std::string tail_;
  bool tailGiven_ = false;
};

TEST_F(SettingsTest, HugeLineIsSkippedWithoutBeingHeldAndTheKeysAfterItApply) {
  for (char byte : {'x', '\0', '\r'}) {
    SceneSettings = kInitialSceneSettings;
    RepeatingBuffer buffer(byte, std::size_t{64} << 20, "\nnumber_objects\n7\nkAmbient\n0.5");
    std::istream in(&buffer);
    allocatedBytes = 0;
    countAllocations = true;
    ReadSettings(in);
    countAllocations = false;
    EXPECT_EQ(SceneSettings.number_objects, 7) << int{byte};
    EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.5f) << int{byte};
    EXPECT_LT(allocatedBytes, std::size_t{64} << 10) << int{byte};
  }
}

TEST_F(SettingsTest, LinesAroundTheKeptLengthEndWhereTheirLineFeedIs) {
  // Around the length the reader keeps of a line, a long line must take exactly its own bytes:
  // the key line after it is read, and a key padded to that length is still no key.
  for (std::size_t length : {62, 63, 64, 65, 66, 128, 5000}) {
    SceneSettings = kInitialSceneSettings;
    Read(std::string(length, 'x') + "\nkDifuse\n0.25\n" + "kAmbient" +
         std::string(length - 8, ' ') + "\n0.5\n");
    EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.25f) << length;
    EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f) << length;
  }
  // A long last line without LF ends the file like a short one.
  Read("kDifuse\n0.75\n" + std::string(1000, 'y'));
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.75f);
}

// --- Line ends ---------------------------------------------------------------------------------

TEST_F(SettingsTest, CrLfFileReadsLikeTheLfFile) {
  const std::string lf =
      "number_objects\n5.5\n\nnumber_objects_step\n3 steps\nlight_position\n1\n2\n\n3\n"
      "kambient\n0.9\nkAmbient\n0.25\nkDifuse\n0.5\nintensity_source\n0.1 0.2 0.3\n"
      "intensity_ambient\n0.4\n0.5 0.6";
  SceneSettings = kScrambled;
  Read(lf);
  const SceneSettingsRecord fromLf = SceneSettings;
  EXPECT_EQ(fromLf.number_objects, 5);
  ExpectTriple(fromLf.intensity_ambient, 0.4f, 0.5f, 0.6f);

  SceneSettings = kScrambled;
  Read(WithCrLf(lf));
  ExpectSameSettings(SceneSettings, fromLf);
}

TEST_F(SettingsTest, LoneCarriageReturnStaysInTheLine) {
  // Only the CR of one CR LF pair goes; the one before it keeps the line from being a key.
  Read("kAmbient\r\r\n0.5\r\nkDifuse\r\n0.25\r\n");
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.1f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.25f);
  Read("kDifuse\r0.5\n");
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.25f);
}

// --- Stream failures ---------------------------------------------------------------------------

// A stream buffer that hands out its text and then fails the way an allocation does.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 protected:
  int_type underflow() override { throw std::bad_alloc(); }

 private:
  std::string text_;
};

TEST_F(SettingsTest, AllocationFailureEndsReadingWithWhatWasStored) {
  for (bool exceptionsOn : {false, true}) {
    SceneSettings = kInitialSceneSettings;
    FailingBuffer buffer("kAmbient\n0.25\nkDifuse\n0.5\nnumber_objects\n");
    std::istream in(&buffer);
    if (exceptionsOn) in.exceptions(std::ios_base::badbit | std::ios_base::failbit);
    EXPECT_NO_THROW(ReadSettings(in));
    EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.25f);
    EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.5f);
    EXPECT_EQ(SceneSettings.number_objects, 1);
  }
}

TEST_F(SettingsTest, StreamWithExceptionsOnDoesNotThrowOnBadContent) {
  std::istringstream in("kAmbient\n0.25\nkDifuse\nnot a number\n");
  in.exceptions(std::ios_base::failbit | std::ios_base::badbit | std::ios_base::eofbit);
  EXPECT_NO_THROW(ReadSettings(in));
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.25f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 1.0f);
}

// --- LoadSettings on real files ----------------------------------------------------------------

class LoadSettingsTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    previous_ = std::filesystem::current_path();
    char pattern[] = "/tmp/tobrin_settings_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch_ = pattern;
    std::filesystem::current_path(scratch_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(scratch_);
  }
  static void WriteFile(const std::string& bytes) {
    std::ofstream out("postavke.txt", std::ios_base::binary);
    out << bytes;
  }

  std::filesystem::path previous_, scratch_;
};

TEST_F(LoadSettingsTest, MissingFileKeepsInitialValues) {
  EXPECT_NO_THROW(LoadSettings());
  ExpectSameSettings(SceneSettings, kInitialSceneSettings);
}

TEST_F(LoadSettingsTest, ReadsTheFileInTheWorkingDirectory) {
  WriteFile(WithCrLf("number_objects_step\n4\nkDifuse\n0.5\nlight_position\n1 2 3"));
  LoadSettings();
  EXPECT_EQ(SceneSettings.number_objects_step, 4);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 0.5f);
  ExpectTriple(SceneSettings.light_position, 1, 2, 3);
}

TEST_F(LoadSettingsTest, UnreadableFileIsNoError) {
  // A directory opens for reading on this system but fails the first read; chmod 000 would not
  // do, since the tests may run as root.
  std::filesystem::create_directory("postavke.txt");
  EXPECT_NO_THROW(LoadSettings());
  ExpectSameSettings(SceneSettings, kInitialSceneSettings);
}

// Whatever stands in the file's place, LoadSettings returns at once: no wait for a writer, no
// endless read. Each refusal says so on standard error in one line; a regular file stays silent.
TEST_F(LoadSettingsTest, SomethingOtherThanARegularFileIsRefusedAtOnce) {
  const struct {
    const char* kind;
    std::function<void()> make;
  } kinds[] = {
      {"a FIFO", [] { ASSERT_EQ(mkfifo("postavke.txt", 0644), 0); }},
      {"a character device", [] { std::filesystem::create_symlink("/dev/zero", "postavke.txt"); }},
      {"a character device",
       [] { std::filesystem::create_symlink("/dev/urandom", "postavke.txt"); }},
      {"a directory", [] { std::filesystem::create_directory("postavke.txt"); }},
  };
  for (const auto& k : kinds) {
    SceneSettings = kScrambled;
    std::filesystem::remove_all("postavke.txt");
    k.make();
    const auto start = std::chrono::steady_clock::now();
    ::testing::internal::CaptureStderr();
    LoadSettings();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << k.kind;
    ExpectSameSettings(SceneSettings, kScrambled);
    EXPECT_EQ(said, std::string("postavke.txt: not a regular file (") + k.kind +
                        "); the settings keep their initial values.\n");
  }
  std::filesystem::remove_all("postavke.txt");
  WriteFile("kAmbient\n0.5\n");
  ::testing::internal::CaptureStderr();
  LoadSettings();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(LoadSettingsTest, OnlyTheFirstMebibyteIsRead) {
  // A key before the limit applies, one after it is never seen; the file is not held whole.
  std::string text = "kAmbient\n0.5\n";
  text += std::string((size_t{1} << 20) - text.size() - 4, '\n') + "kDifuse\n0.25\n";
  text += std::string(size_t{4} << 20, 'x') + "\nnumber_objects\n9\n";
  WriteFile(text);
  allocatedBytes = 0;
  countAllocations = true;
  LoadSettings();
  countAllocations = false;
  EXPECT_FLOAT_EQ(SceneSettings.kAmbient, 0.5f);
  EXPECT_FLOAT_EQ(SceneSettings.kDifuse, 1.0f);  // "kDif" is all that fits
  EXPECT_EQ(SceneSettings.number_objects, 1);
  EXPECT_LT(allocatedBytes, size_t{4} << 20);
}

}  // namespace
