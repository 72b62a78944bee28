#include <gtest/gtest.h>

#include <filesystem>

#include "engine_driver_fixture.h"
#include "install/data_area.h"

namespace {

Bytes Counted(const Bytes& part) {
  wf::ByteWriter w;
  w.U32(static_cast<uint32_t>(part.size()));
  w.Bytes(part);
  return w.bytes();
}

TEST(VolumeNames, Table) {
  std::string fits(254, 'a'), tooLong(255, 'a');
  struct {
    std::string base;
    int number;
    std::string name;  // "" when refused
  } cases[] = {
      {"C:\\App\\setup.exe", 1, "C:\\App\\setup.D01"}, {"C:\\App\\setup.exe", 12, "C:\\App\\setup.D12"},
      {"C:\\App\\setup.D01", 2, "C:\\App\\setup.D02"}, {"C:\\App.2\\setup", 1, "C:\\App.2\\setup.D01"},
      {"C:\\App\\a.b.exe", 3, "C:\\App\\a.b.D03"},     {"setup", 1, "setup.D01"},
      {"/tmp/x.y/setup.exe", 1, "/tmp/x.y/setup.D01"}, {fits, 1, fits + ".D01"},
      {tooLong, 1, ""},                                {"a.exe", 100, ""},
  };
  for (auto& c : cases) {
    char out[260];
    ASSERT_EQ(MakeVolumePath(c.base.c_str(), c.number, out), c.name.empty() ? 0 : 1) << c.base;
    if (!c.name.empty()) EXPECT_EQ(std::string(out), c.name);
  }
}

class Volumes : public EngineTest {
 protected:
  // The DataArea: 5 bytes of another entry and `head` bytes of `data` in the
  // package file, the rest of `data` in .D01 when `writeSecond`.
  void Split(const Bytes& data, size_t head, bool writeSecond = true) {
    Bytes first(5, 0x22);
    first.insert(first.end(), data.begin(), data.begin() + head);
    Load({}, first);
    secondPath_ = std::string(OwnPath).substr(0, std::string(OwnPath).size() - 4) + ".D01";
    std::filesystem::remove(secondPath_);
    if (writeSecond) WriteTempFile("setup.D01", Counted(Bytes(data.begin() + head, data.end())));
    ::Run.destinationChecked = true;
    ASSERT_EQ(StartInstallation(), 1);
  }
  int Extract(uint32_t stored, uint32_t* size) {
    out_ = WriteTempFile("out.bin", {});
    FileHandle out = FileOpen(out_.c_str(), kFileWrite);
    int r = DecompressEntry(out, &DataArea.volume, stored, size, nullptr);
    FileClose(out);
    return r;
  }
  static Bytes ZlibEntry(const Bytes& content) {
    Bytes data{1}, z = Zlib(content);
    data.insert(data.end(), z.begin(), z.end());
    return data;
  }
  std::string secondPath_, out_;
};

TEST_F(Volumes, EntryCrossesIntoTheFirstContinuation) {
  Bytes content(50000);
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 7 + i / 300);
  Bytes data = ZlibEntry(content);
  for (size_t head : {size_t{1}, size_t{2}, data.size() / 2, data.size() - 1}) {
    SCOPED_TRACE(head);
    Split(data, head);
    ASSERT_EQ(SeekDataArea(5), 0);
    uint32_t size = 0;
    ASSERT_EQ(Extract(static_cast<uint32_t>(data.size()), &size), 0);
    EXPECT_EQ(size, content.size());
    EXPECT_EQ(ReadAll(out_), std::string(content.begin(), content.end()));
    EXPECT_EQ(DataArea.volumeNumber, 1);
    EXPECT_EQ(DataArea.bytesLeft, 0u);
  }
}

TEST_F(Volumes, SeekIntoTheContinuation) {
  Bytes data{2}, b = Bzip2({'h', 'i'});
  data.insert(data.end(), b.begin(), b.end());
  Bytes second(40, 0x33);
  second.insert(second.end(), data.begin(), data.end());
  Split(second, 0);
  ASSERT_EQ(SeekDataArea(5 + 40), 0);
  EXPECT_EQ(DataArea.earlierBytes, 5u);
  uint32_t size;
  ASSERT_EQ(Extract(static_cast<uint32_t>(data.size()), &size), 0);
  EXPECT_EQ(ReadAll(out_), "hi");
}

TEST_F(Volumes, MissingVolumeIsReportedWithItsPath) {
  Split(Bytes(20, 0x44), 10, false);
  EXPECT_EQ(SeekDataArea(15), 18) << "seeking into it";
  EXPECT_EQ(ResultCode, 18);
  EXPECT_EQ(std::string(ErrorArgument), secondPath_);
  EXPECT_TRUE(Ui.messages.empty());

  Bytes noise(3000);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
  Bytes data = ZlibEntry(noise);
  ResultCode = 0;
  Split(data, data.size() / 2, false);
  ASSERT_EQ(SeekDataArea(5), 0);
  EXPECT_EQ(Extract(static_cast<uint32_t>(data.size()), nullptr), 3) << "reading into it";
  EXPECT_EQ(ResultCode, 18);
  EXPECT_EQ(std::string(ErrorArgument), secondPath_);
}

TEST_F(Volumes, DiskPromptFromATemporaryCopy) {
  struct {
    const char* what;
    std::vector<int> answers;
    bool diskAppears;  // written before the first retry
    int result;
    size_t boxes;
  } cases[] = {
      {"cancel, then confirm", {kAnswerCancel, kAnswerYes}, false, 15, 2},
      {"cancel, decline, and the retry finds the disk", {kAnswerCancel, kAnswerNo}, true, 0, 2},
      {"OK at once finds the disk", {kAnswerOk}, true, 0, 1},
      {"OK without the disk asks again", {kAnswerOk, kAnswerCancel, kAnswerYes}, false, 15, 3},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    Options.deleteSelf = true;
    Split(Bytes(20, 0x44), 10, false);
    Ui.answers.assign(c.answers.begin(), c.answers.end());
    if (c.diskAppears) Ui.onMessage = [] { WriteTempFile("setup.D01", Counted(Bytes(10, 0x55))); };
    EXPECT_EQ(SeekDataArea(15), c.result);
    ASSERT_EQ(Ui.messages.size(), c.boxes);
    EXPECT_EQ(Ui.messages[0], std::make_pair(std::string("Insert disk 2."), unsigned{kMessageOkCancelInformation}));
    bool cancelled = c.result == 15;
    EXPECT_EQ(ResultCode, c.result);
    EXPECT_EQ(UserCancelled, cancelled);
    EXPECT_EQ(::Run.running, !cancelled);
    if (cancelled) {
      EXPECT_EQ(Ui.messages.back().first, "Really cancel?");
      EXPECT_EQ(PageResult, 2);
      EXPECT_EQ(DataArea.volume, INVALID_FILE);
      uint8_t byte;
      EXPECT_NE(ReadDataArea(&DataArea.volume, &byte, 1), 0) << "nothing reads from a closed DataArea";
    }
  }
}

TEST_F(Volumes, PumpsEvery4096Bytes) {
  Split(Bytes(20000, 0x66), 20000);
  ASSERT_EQ(SeekDataArea(0), 0);
  Bytes buffer(20000);
  for (auto [bytes, countdown] : {std::pair{1, 4096}, {4095, 1}, {1, 4096}, {100, 3996}}) {
    ASSERT_EQ(ReadDataArea(&DataArea.volume, buffer.data(), bytes), 0);
    EXPECT_EQ(DataArea.pumpCountdown, countdown) << "after " << bytes;  // the first read pumps at once
  }
  EXPECT_EQ(DataArea.bytesLeft, 20005u - 4197);
}

}  // namespace
