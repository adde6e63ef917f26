// Links to a moment, as the page makes them: an address whose fragment is #e= and the experiment
// file's UTF-8 text in unpadded base64url (RFC 4648 section 5), or #z= and its raw deflate when
// that is shorter. Read here so that such a link, pasted as text, opens anywhere a file does.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace bruvik {

inline constexpr std::size_t kMaxLinkBytes = 64 * 1024;
// No experiment inflates to this; a link that would is refused before it takes the memory.
inline constexpr std::size_t kMaxLinkInflated = 4 * 1024 * 1024;

struct LinkRead {
  std::optional<std::string> text;  // the experiment file's text, not yet read as one
  std::string refusal;              // else one sentence that says why not
};

// `link`: a whole address or only its fragment, blanks around it ignored.
LinkRead experiment_text_of_link(std::string_view link);

// Whether a name given where a file is asked for is rather a link: it holds #e= or #z=.
bool looks_like_link(std::string_view name);

}  // namespace bruvik
