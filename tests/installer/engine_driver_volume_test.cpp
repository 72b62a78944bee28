// The DataArea read across volumes, and each entry's stream decompressed
// into its file.
#include <gtest/gtest.h>

#include <random>

#include "engine_driver_fixture.h"
#include "install/data_area.h"

namespace {

Bytes Noise(size_t n) {
  Bytes b(n);
  std::mt19937 rng(7);
  for (uint8_t& c : b) c = static_cast<uint8_t>(rng());
  return b;
}

// The method byte, then the stream.
Bytes Entry(uint8_t method, const Bytes& stream) {
  Bytes e{method};
  e.insert(e.end(), stream.begin(), stream.end());
  return e;
}

uint32_t Checksum(const Bytes& b) { return wf::UpdateFileChecksum(0, b.data(), b.size()); }

class DataAreaTest : public EngineTest {
 protected:
  // The DataArea: 5 bytes of another entry, then `data`, whose bytes from
  // `head` on are in setup.D01 when `second`.
  void Open(const Bytes& data, size_t head, bool second) {
    Bytes first(5, 0x22);
    first.insert(first.end(), data.begin(), data.begin() + head);
    Load(EntryTable({}), first);
    std::filesystem::remove(Path("setup.D01"));
    if (second) WriteSecond(Bytes(data.begin() + head, data.end()));
    ::Run.destinationChecked = true;
    ASSERT_EQ(StartInstallation(), 1);
  }
  void WriteSecond(const Bytes& part) {
    wf::ByteWriter w;
    w.U32(static_cast<uint32_t>(part.size()));
    w.Bytes(part);
    Write("setup.D01", w.bytes());
  }
  // Decompresses from where the DataArea stands into out.bin.
  int Extract(size_t stored, uint32_t* size = nullptr, uint32_t* sum = nullptr, bool writable = true) {
    Write("out.bin", "");
    FileHandle out = FileOpen(Path("out.bin").c_str(), writable ? kFileWrite : kFileRead);
    int r = DecompressEntry(out, &DataArea.volume, static_cast<uint32_t>(stored), size, sum);
    FileClose(out);
    return r;
  }
  std::string Out() const { return ReadAll(Path("out.bin")); }
};

TEST_F(DataAreaTest, StreamsTable) {
  Bytes abc{'a', 'b', 'c'}, text(300000), noise = Noise(70000);
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>("wrenly text\n"[i % 12]);
  Bytes corrupt = Zlib(text), corruptBz = Bzip2(text);
  for (size_t i = 20; i < 40; ++i) corrupt[i] ^= 0x5A, corruptBz[i + 20] ^= 0x5A;
  Bytes trailing = Entry(1, Zlib(abc)), cut = Entry(1, Zlib(noise));
  trailing.resize(trailing.size() + 100, 0xEE);
  cut.resize(cut.size() - 10);
  struct {
    const char* what;
    Bytes data;  // method byte and stream
    int result;
    Bytes content;  // expected file on success
  } cases[] = {
      {"zlib over many reads and writes", Entry(1, Zlib(text)), 0, text},
      {"bzip2 over many reads and writes", Entry(2, Bzip2(text)), 0, text},
      {"zlib output larger than its input", Entry(1, Zlib(noise)), 0, noise},
      {"empty content", Entry(1, Zlib({})), 0, {}},
      {"method byte only, of no method", Bytes{9}, 0, {}},
      {"unknown method", Entry(3, Zlib(abc)), 1, {}},
      {"corrupted zlib stream", Entry(1, corrupt), 1, {}},
      {"corrupted bzip2 stream", Entry(2, corruptBz), 1, {}},
      {"stream cut short", cut, 1, {}},
      {"bytes after the stream end are left alone", trailing, 0, abc},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    Open(c.data, c.data.size(), false);
    ASSERT_EQ(SeekDataArea(5), 0);
    uint32_t size = 77, sum = 77;
    EXPECT_EQ(Extract(c.data.size(), &size, &sum), c.result);
    if (c.result == 0) {
      EXPECT_EQ(size, c.content.size());
      EXPECT_EQ(sum, Checksum(c.content));
      EXPECT_EQ(Out(), std::string(c.content.begin(), c.content.end()));
    }
  }
  EXPECT_EQ(SeekDataArea(5), 0);
  EXPECT_EQ(Extract(trailing.size(), nullptr, nullptr, false), 4) << "the write fails";
  EXPECT_EQ(Extract(0), 1) << "a stored length of 0";
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
      {"C:\\App\\a.b.exe", 3, "C:\\App\\a.b.D03"},     {"/tmp/x.y/setup.exe", 1, "/tmp/x.y/setup.D01"},
      {fits, 1, fits + ".D01"},                        {tooLong, 1, ""},
      {"a.exe", 100, ""},
  };
  for (auto& c : cases) {
    char out[260] = "";
    EXPECT_EQ(MakeVolumePath(c.base.c_str(), c.number, out), c.name.empty() ? 0 : 1) << c.base;
    if (!c.name.empty()) EXPECT_EQ(std::string(out), c.name);
  }
}

TEST_F(DataAreaTest, EntryCrossesIntoTheFirstContinuation) {
  Bytes content(50000);
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 7 + i / 300);
  Bytes data = Entry(1, Zlib(content));
  for (size_t head : {size_t{1}, size_t{2}, data.size() / 2, data.size() - 1}) {
    SCOPED_TRACE(head);
    Open(data, head, true);
    ASSERT_EQ(SeekDataArea(5), 0);
    uint32_t size = 0;
    EXPECT_EQ(Extract(data.size(), &size), 0);
    EXPECT_EQ(size, content.size());
    EXPECT_EQ(Out(), std::string(content.begin(), content.end()));
    EXPECT_EQ(DataArea.volumeNumber, 1);
    EXPECT_EQ(DataArea.bytesLeft, 0u);
  }
  // An entry that starts 40 bytes into the continuation.
  Bytes second(40, 0x33), hi = Entry(2, Bzip2({'h', 'i'}));
  second.insert(second.end(), hi.begin(), hi.end());
  Open(second, 0, true);
  ASSERT_EQ(SeekDataArea(5 + 40), 0);
  EXPECT_EQ(DataArea.earlierBytes, 5u);
  EXPECT_EQ(Extract(hi.size()), 0);
  EXPECT_EQ(Out(), "hi");
}

TEST_F(DataAreaTest, MissingVolumeIsReportedWithItsPath) {
  Open(Bytes(20, 0x44), 10, false);
  EXPECT_EQ(SeekDataArea(15), 18) << "seeking into it";
  EXPECT_EQ(ResultCode, 18);
  EXPECT_EQ(std::string(ErrorArgument), Path("setup.D01"));
  EXPECT_TRUE(Ui.messages.empty());

  Bytes data = Entry(1, Zlib(Noise(3000)));
  ResultCode = 0;
  Open(data, data.size() / 2, false);
  ASSERT_EQ(SeekDataArea(5), 0);
  EXPECT_EQ(Extract(data.size()), 3) << "reading into it";
  EXPECT_EQ(ResultCode, 18);
  EXPECT_EQ(std::string(ErrorArgument), Path("setup.D01"));
}

TEST_F(DataAreaTest, DiskPromptFromATemporaryCopy) {
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
    Open(Bytes(20, 0x44), 10, false);
    Ui.answers.assign(c.answers.begin(), c.answers.end());
    if (c.diskAppears) Ui.onMessage = [this] { WriteSecond(Bytes(10, 0x55)); };
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
      uint8_t byte;
      EXPECT_NE(ReadDataArea(&DataArea.volume, &byte, 1), 0) << "nothing reads from a closed DataArea";
    }
  }
}

}  // namespace
