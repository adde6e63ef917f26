// The texts the page's module hands to JavaScript, which copies each at once: one buffer for
// all of them, valid until the next.
#pragma once

#include <string>

namespace bruvik {

const char* give(std::string text);

}  // namespace bruvik
