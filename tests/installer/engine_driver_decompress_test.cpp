#include <gtest/gtest.h>

#include <random>

#include "engine_driver_fixture.h"
#include "install/data_area.h"

namespace {

Bytes Pattern(size_t n, bool compressible) {
  Bytes b(n);
  std::mt19937 rng(7);
  for (size_t i = 0; i < n; ++i) b[i] = compressible ? static_cast<uint8_t>("wrenly text\n"[i % 12]) : rng();
  return b;
}

Bytes Entry(uint8_t method, const Bytes& stream) {
  Bytes e{method};
  e.insert(e.end(), stream.begin(), stream.end());
  return e;
}

uint32_t Checksum(const Bytes& b) { return wf::UpdateFileChecksum(0, b.data(), b.size()); }

class Decompress : public EngineTest {
 protected:
  // The DataArea holds 13 bytes of an earlier entry, then `data`.
  int Extract(const Bytes& data, uint32_t stored, uint32_t* size, uint32_t* sum, bool writable = true) {
    Bytes area(13, 0x11);
    area.insert(area.end(), data.begin(), data.end());
    Load({}, area);
    ::Run.destinationChecked = true;
    EXPECT_EQ(StartInstallation(), 1);
    EXPECT_EQ(SeekDataArea(13), 0);
    out_ = WriteTempFile("out.bin", {});
    FileHandle out = FileOpen(out_.c_str(), writable ? kFileWrite : kFileRead);
    int r = DecompressEntry(out, &DataArea.volume, stored, size, sum);
    FileClose(out);
    return r;
  }
  std::string out_;
};

TEST_F(Decompress, StreamsTable) {
  Bytes abc{'a', 'b', 'c'};
  EXPECT_EQ(Checksum(abc), 0x000002ABu);
  Bytes text = Pattern(300000, true), noise = Pattern(70000, false);
  Bytes corrupt = Zlib(text), corruptBz = Bzip2(text);
  for (size_t i = 20; i < 40; ++i) corrupt[i] ^= 0x5A, corruptBz[i + 20] ^= 0x5A;
  Bytes trailing = Entry(1, Zlib(abc));
  trailing.resize(trailing.size() + 100, 0xEE);
  Bytes zTruncated = Entry(1, Zlib(noise));
  zTruncated.resize(zTruncated.size() - 10);
  struct {
    const char* what;
    Bytes data;  // method byte and stream
    int result;
    Bytes content;  // expected file on success
  } cases[] = {
      {"zlib abc", Entry(1, Zlib(abc)), 0, abc},
      {"bzip2 abc", Entry(2, Bzip2(abc)), 0, abc},
      {"zlib text over many reads and writes", Entry(1, Zlib(text)), 0, text},
      {"bzip2 text", Entry(2, Bzip2(text)), 0, text},
      {"zlib noise larger than its input", Entry(1, Zlib(noise)), 0, noise},
      {"zlib empty content", Entry(1, Zlib({})), 0, {}},
      {"method byte only", Bytes{1}, 0, {}},
      {"method byte only, unknown method", Bytes{9}, 0, {}},
      {"method 3", Entry(3, Zlib(abc)), 1, {}},
      {"method 0", Entry(0, Zlib(abc)), 1, {}},
      {"corrupted zlib stream", Entry(1, corrupt), 1, {}},
      {"corrupted bzip2 stream", Entry(2, corruptBz), 1, {}},
      {"zlib stream cut short", zTruncated, 1, {}},
      {"bytes after the stream end are left alone", trailing, 0, abc},
      {"bzip2 read as zlib", Entry(1, Bzip2(abc)), 1, {}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    uint32_t size = 77, sum = 77;
    EXPECT_EQ(Extract(c.data, static_cast<uint32_t>(c.data.size()), &size, &sum), c.result);
    if (c.result == 0) {
      EXPECT_EQ(size, c.content.size());
      EXPECT_EQ(sum, Checksum(c.content));
      EXPECT_EQ(ReadAll(out_), std::string(c.content.begin(), c.content.end()));
    }
  }
  // Size and checksum are optional.
  EXPECT_EQ(Extract(Entry(2, Bzip2({'x'})), Entry(2, Bzip2({'x'})).size(), nullptr, nullptr), 0);
  EXPECT_EQ(ReadAll(out_), "x");
}

TEST_F(Decompress, FailuresOfTheReaderAndTheWriter) {
  Bytes data = Entry(1, Zlib(Pattern(1000, true)));
  uint32_t size, sum;
  EXPECT_EQ(Extract(data, static_cast<uint32_t>(data.size()), &size, &sum, false), 4) << "write fails";
  EXPECT_EQ(Extract(data, 0, &size, &sum), 1) << "stored length 0";
  Bytes noise = Entry(1, Zlib(Pattern(20000, false)));
  noise.resize(9000);
  EXPECT_EQ(Extract(noise, 20000, &size, &sum), 3) << "the DataArea ends inside the stream";
  EXPECT_EQ(ResultCode, 18);
}

}  // namespace
