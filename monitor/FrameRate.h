// The pages that follow a stream of reports repaint at the display's rate
// at most: this is one frame of the primary screen in milliseconds.
#pragma once

namespace zembrik {

int FrameIntervalMs();

} // namespace zembrik
