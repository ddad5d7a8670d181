#pragma once

// How names and counts appear in quorvel-batch's messages.

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel::cli {

// NAME as is, or, when it holds control characters or bytes that are not UTF-8, quoted the way
// ls shows it ('a'$'\n''b.avi'), so that a name can never split a message or steer the terminal.
// A very long name is cut to its first and last hundred characters with an ellipsis between.
std::string Shown(std::string_view name);

// TEXT in single quotes, or as Shown() quotes it when it needs escapes.
std::string Quoted(std::string_view text);

// "1 job", "2 jobs".
std::string Counted(std::size_t count, std::string_view noun);

}  // namespace quorvel::cli
