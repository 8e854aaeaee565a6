#pragma once
// Key and value names compare without regard to case, as on the registry the
// program was written for. Folding covers ASCII and the simple one-to-one
// pairs of Latin-1, Latin Extended-A (the Turkish letters among them), basic
// Greek and Cyrillic; bytes that are not valid UTF-8 compare as they are.
// Dotted capital I and dotless small i have no simple folding and stay apart.

#include <string>
#include <string_view>

namespace registry {

std::string foldCase(std::string_view utf8);
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// `raw` folded, without allocating when it is already in folded form (the
// usual case: plain lower-case ASCII); otherwise folded into `scratch`.
std::string_view foldInto(std::string_view raw, std::string& scratch);

}  // namespace registry
