#pragma once

namespace velmor {

// The settings and menus name Windows faces; map each to the Japanese face installed here
// that matches it, keeping the names themselves; the Hangul mode's face also to a Korean one.
void installFontSubstitutions();

} // namespace velmor
