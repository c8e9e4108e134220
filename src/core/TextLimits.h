#pragma once

namespace velmor {

// The most characters a text may have, in the text box or read for speaking.
inline constexpr int kMaxTextLength = 100'000'000;

} // namespace velmor
