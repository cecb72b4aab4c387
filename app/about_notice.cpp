#include "app/about_notice.h"

#include "app/maker.h"

namespace vintrel {

std::string AboutNoticeText() {
    const std::string name(kMakerName);
    const std::string domain(kMakerDomain);
    return "Vintrel is provided free of charge by " + name + ", at " + domain + ".\n\n" + domain +
           " provides the world's most accurate and complete list of local times, each location "
           "adjusted for its own daylight-saving rules.\n\nPlease help support our efforts by "
           "visiting regularly.";
}

}  // namespace vintrel
