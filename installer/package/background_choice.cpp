#include "format/block_ids.h"
#include "format/bytes.h"
#include "package/install_types.h"
#include "platform/system.h"

namespace wf = wrenly::format;

int ChooseBackgroundVariant(const uint8_t* list) {
  int screenW, screenH;
  GetScreenSize(&screenW, &screenH);
  int32_t count = (int32_t)wf::LoadU32(list + wf::variant_list::kCount);
  int best = -1;
  int32_t bw = 0, bh = 0;
  for (int32_t j = 0; j < count; ++j) {
    const uint8_t* pair = list + wf::variant_list::kPairs + wf::variant_list::kPairSize * (uint32_t)j;
    int32_t w = (int32_t)wf::LoadU32(pair + wf::variant_list::kPairWidth);
    int32_t h = (int32_t)wf::LoadU32(pair + wf::variant_list::kPairHeight);
    if (w == screenW && h == screenH) return j;
    bool take;
    if (best == -1) take = true;
    else if (w < screenW && h < screenH) take = w > bw && h > bh;  // smaller both ways: only a larger one
    else take = (w < bw && h < bh) || (bw < screenW && bh < screenH);
    if (take) {
      best = j;
      bw = w;
      bh = h;
    }
  }
  return best;
}
