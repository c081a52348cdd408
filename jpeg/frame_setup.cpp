// Frame set-up: the MCU geometry every later stage relies on. The MCU grid is always
// the interleaved one (8·Hmax × 8·Vmax pixels per MCU); a non-interleaved image
// decodes 8x8 MCUs but keeps that grid for its output.
#include "jpeg/frame_setup.h"

namespace jpeg {

int32_t RunFrameSetUp(JPEG_PROPERTIES& properties) {
  JpegState& state = properties.state;
  JpegFrameHeader& frame = state.frame;
  if (frame.component_count < 1 || frame.component_count > JPEG_MAX_COMPONENTS)
    return JPEG_ERR_COMP;
  int32_t h_max = 1, v_max = 1;
  for (int i = 0; i < frame.component_count; ++i) {
    h_max = frame.components[i].h > h_max ? frame.components[i].h : h_max;
    v_max = frame.components[i].v > v_max ? frame.components[i].v : v_max;
  }
  frame.h_max = h_max;
  frame.v_max = v_max;
  frame.mcu_width = state.interleave_type == 1 ? 8 : 8 * h_max;
  frame.mcu_height = state.interleave_type == 1 ? 8 : 8 * v_max;
  state.mcus_across = static_cast<int32_t>((frame.width + 8 * h_max - 1) / (8 * h_max));
  state.mcus_down = static_cast<int32_t>((frame.height + 8 * v_max - 1) / (8 * v_max));
  return JPEG_SUCCESS;
}

}  // namespace jpeg
