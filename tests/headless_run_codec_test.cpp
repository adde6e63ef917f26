// The page's workers hand their runs over as text: every field and every bit of a double must
// come back, or the page's report would differ from the terminal's.
#include <gtest/gtest.h>

#include <vector>

#include "headless/run_codec.h"

namespace bruvik {
namespace {

TEST(RunCodec, EveryFieldAndEveryBitComesBack) {
  // A whole run, one stopped before some methods began (no bus figures, nothing ended), one that
  // failed with the largest seed and a quoted data amount, and doubles whose last bit a decimal
  // text of 15 or 16 digits would change.
  std::vector<BatchRun> runs;
  const auto add = [&](std::uint64_t seed, VirtualMs max_time) {
    const RunParams p{{.seed = seed, .mtu = 3, .rate = 8, .frame_length = 4}, max_time};
    runs.push_back({run_once(p), std::nullopt});
  };
  add(11, 3600000);
  add(12, 40000);
  runs[1].result.methods[0].seconds = 0.1 + 0.2;
  runs[1].result.methods[0].bus->offered_load = 1.0 / 3.0 + 1e-17;
  runs[1].result.methods[1].data_sent = 5e-324;
  add(13, 3600000);
  runs[2].error = "Run-time error '6': Overflow";
  ASSERT_TRUE(runs[0].result.finished);
  ASSERT_FALSE(runs[1].result.methods[4].reached);

  runs[2].result.params.start.data_amount = "12 \"süre\"";
  runs[2].result.params.start.seed = 18446744073709551615u;

  const std::vector<BatchRun> back = decode_runs(encode_runs(runs));
  ASSERT_EQ(back.size(), runs.size());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(back[i].result, runs[i].result) << "run " << i;
    EXPECT_EQ(back[i].error, runs[i].error) << "run " << i;
  }
  EXPECT_THROW(decode_runs("[[true]]"), std::invalid_argument);
  EXPECT_THROW(decode_runs("{}"), std::invalid_argument);
}

}  // namespace
}  // namespace bruvik
