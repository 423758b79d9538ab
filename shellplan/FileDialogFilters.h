#pragma once
// The viewer's filter lists for the system's file dialogs, in the form the dialogs take them:
// pairs of NUL-ended strings (the description shown, then the patterns separated by
// semicolons), the list ended by an empty string.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace Orvanel::ShellPlan {

// The image formats the viewer opens.
extern const wchar_t kImageOpenFilter[];
// The video formats the viewer plays.
extern const wchar_t kVideoOpenFilter[];
// The formats the viewer writes.
extern const wchar_t kSaveFilter[];

// Characters of a list up to and including the empty string that ends it, so that a copy of
// that many characters is a complete list.
std::size_t FilterListLength(const wchar_t* list);

// A list as (description, patterns) pairs, in order.
std::vector<std::pair<std::wstring, std::wstring>> FilterPairs(const wchar_t* list);

} // namespace Orvanel::ShellPlan
