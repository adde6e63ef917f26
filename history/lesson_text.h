// The title and question a teacher types for a saved run, checked before they go into the
// experiment's title and note: within what every front shows well and every reader opens.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bruvik {

// In characters (code points); a file may hold longer ones, a saved run does not make them.
inline constexpr std::size_t kMaxLessonTitle = 120;
inline constexpr std::size_t kMaxLessonQuestion = 2000;

struct LessonText {
  std::string title;    // trimmed
  std::string note;     // the question, trimmed
  std::string refusal;  // one sentence; empty when both may be saved
};

// A title of one line and a question that may have line breaks, neither with other control
// characters, both valid UTF-8 and within the limits above.
LessonText lesson_text(std::string_view title, std::string_view question);

}  // namespace bruvik
