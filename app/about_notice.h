#pragma once

#include <string>

namespace vintrel {

/// The three paragraphs of the about box's notice, for either front end.
std::string AboutNoticeText();

}  // namespace vintrel
